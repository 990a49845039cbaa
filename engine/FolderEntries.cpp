#include "FolderEntries.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

FolderRead forEachFolderEntry(const QString &folder, const FolderEntryVisitor &visit)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? FolderRead::Missing : FolderRead::Unreadable;
    DIR *entries = ::fdopendir(fd);
    if (!entries) {
        ::close(fd);
        return FolderRead::Unreadable;
    }
    bool complete = true;
    for (;;) {
        errno = 0; // the end and a failed read both give no entry; only a failure sets errno
        const dirent *entry = ::readdir(entries);
        if (!entry) {
            complete = errno == 0;
            break;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            visit(fd, entry->d_name);
    }
    ::closedir(entries);
    return complete ? FolderRead::Read : FolderRead::Unreadable;
}
