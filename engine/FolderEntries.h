#pragma once

#include <QString>

#include <functional>
#include <tuple>
#include <vector>

// What tells one file from another without a clock: the device and the file's number on it,
// its size and the time it was last written, as the file system keeps them. A file rewritten
// in place differs in size or time; one put in place of another differs in its number.
struct FileIdentity
{
    quint64 device = 0;
    quint64 file = 0;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    bool regularFile = false; // neither a folder nor a link nor anything else

    auto fields() const
    {
        return std::tie(device, file, size, modifiedSeconds, modifiedNanoseconds);
    }
    bool operator<(const FileIdentity &other) const { return fields() < other.fields(); }
};

enum class FolderRead
{
    Read,
    Missing,
    Unreadable
};

// One read of a folder's entries, in the order the file system keeps them: entries of every
// kind (hidden ones, folders, links, links that lead nowhere), without "." and "..". The read
// looks at no entry by itself, so that ten thousand names take milliseconds.
using FolderEntryVisitor = std::function<void(const QString &name)>;
FolderRead forEachFolderEntry(const QString &folder, const FolderEntryVisitor &visit);

// The identity of every entry of the folder, a link as itself. An entry that goes while the
// folder is read stands there no more and is left out.
FolderRead readFolderIdentities(const QString &folder, std::vector<FileIdentity> &identities);

// The identity of what stands at path, a link as itself; false when nothing stands there or it
// cannot be read.
bool readFileIdentity(const QString &path, FileIdentity &identity);
