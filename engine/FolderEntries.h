#pragma once

#include <QString>

#include <functional>

// One read of a folder's entries, in the order the file system keeps them: entries of every
// kind (hidden ones, folders, links, links that lead nowhere), without "." and "..". The read
// looks at no entry by itself, so that ten thousand names take milliseconds; a visitor that
// wants more of an entry asks the folder for it by name.
//
// visit(folderFd, name): the open folder, for *at() calls, and the entry's raw name.
using FolderEntryVisitor = std::function<void(int folderFd, const char *name)>;

enum class FolderRead
{
    Read,
    Missing,
    Unreadable
};

FolderRead forEachFolderEntry(const QString &folder, const FolderEntryVisitor &visit);
