#pragma once

#include <QString>

// Files that a run of the program keeps in a folder it shares with other runs: earlier runs,
// killed ones among them, and a second run of the same user that goes on (another login, or
// a program beside it with the same home). Each run names its files there with a tag of its
// own, "<process id>-<six random letters or digits>", and holds a lock on the file
// "<tag>.lock" beside them for as long as it lives; the system drops the lock however the
// process ends. A later run thus removes the files of runs that have ended and never those of
// a run that goes on. Linux only.
namespace RunOwnedFiles {

// What the names of this run's files in folder begin with: folder, "/", the tag and "-". The
// first call for a folder makes the folder when it is missing and claims it; should that
// fail (a folder that cannot be written, no descriptor left), the names are still this run's
// alone, and a later call tries again. Any thread.
QString namePrefix(const QString &folder);

// Removes from folder the files and folders of runs that have ended, with their locks.
// Entries of other names are left alone. Any thread.
void removeThoseOfEndedRuns(const QString &folder);

// For quitting: gives up this run's claim on folder once none of its files are left there;
// otherwise the next run removes them with the lock.
void release(const QString &folder);

} // namespace RunOwnedFiles
