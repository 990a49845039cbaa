#pragma once

#include "FolderEntries.h"

#include <QString>

#include <vector>

// Tells the file that an engine reports as its result from the files that stood in the output
// folder before the engine started, by the files' identity: no clock enters the decision, so
// a file system that stamps times coarsely or late (FAT, a network share) is judged alike.
//
// Made before the engine starts, the check notes what stands in the folder of the requested
// path: each entry's device, inode, size and modification time. After the engine has ended,
// a reported file is the output of the run when it is a regular file (not a link) that is not
// empty, lies right in that folder, and did not stand there before or has changed since. So
// neither a file elsewhere ("/etc/hostname") nor one that an earlier run left in the folder,
// under whatever name and time, passes for a result; the names of the files an engine writes
// are its own.
class EngineOutputCheck
{
public:
    // Accepts nothing.
    EngineOutputCheck() = default;
    // Notes what stands in the folder of requestedPath now. A folder that is not there holds
    // nothing yet; one that cannot be read leaves the check accepting nothing, as it could not
    // tell a new file from an old one.
    explicit EngineOutputCheck(const QString &requestedPath);

    bool accepts(const QString &reportedPath) const;

private:
    bool liesInRequestedFolder(const QString &reportedPath) const;

    QString m_requestedPath;
    bool m_folderNoted = false;
    std::vector<FileIdentity> m_before; // sorted
};
