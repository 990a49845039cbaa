#include "FolderEntries.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QDir>

#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION &information)
{
    FileIdentity identity;
    identity.device = information.dwVolumeSerialNumber;
    identity.file = (quint64(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    identity.size = qint64((quint64(information.nFileSizeHigh) << 32) | information.nFileSizeLow);
    // In steps of 100 ns since 1601: whole seconds and the rest in nanoseconds.
    const quint64 ticks = (quint64(information.ftLastWriteTime.dwHighDateTime) << 32) |
                          information.ftLastWriteTime.dwLowDateTime;
    identity.modifiedSeconds = qint64(ticks / 10000000);
    identity.modifiedNanoseconds = qint64(ticks % 10000000) * 100;
    identity.regularFile = (information.dwFileAttributes &
                            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    return identity;
}

// A link (reparse point) is opened as itself, a folder as well as a file.
bool readIdentityOfNative(const std::wstring &path, FileIdentity &identity)
{
    const HANDLE file = CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information = {};
    const bool read = GetFileInformationByHandle(file, &information) != FALSE;
    CloseHandle(file);
    if (read)
        identity = identityOf(information);
    return read;
}

// visit(path of the entry, its name).
FolderRead forEachEntry(const QString &folder,
                        const std::function<void(const std::wstring &, const QString &)> &visit)
{
    const std::wstring base = QDir::toNativeSeparators(folder).toStdWString() + L"\\";
    WIN32_FIND_DATAW found = {};
    const HANDLE search =
        FindFirstFileExW((base + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FolderRead::Missing
                   : FolderRead::Unreadable;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(base + name, QString::fromStdWString(name));
    } while (FindNextFileW(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete ? FolderRead::Read : FolderRead::Unreadable;
}

#else

FileIdentity identityOf(const struct stat &status)
{
    FileIdentity identity;
    identity.device = quint64(status.st_dev);
    identity.file = quint64(status.st_ino);
    identity.size = qint64(status.st_size);
    identity.modifiedSeconds = qint64(status.st_mtim.tv_sec);
    identity.modifiedNanoseconds = qint64(status.st_mtim.tv_nsec);
    identity.regularFile = S_ISREG(status.st_mode);
    return identity;
}

// visit(the open folder, for *at() calls, and the entry's raw name).
FolderRead forEachEntry(const QString &folder, const std::function<void(int, const char *)> &visit)
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

#endif

} // namespace

#ifdef Q_OS_WIN

FolderRead forEachFolderEntry(const QString &folder, const FolderEntryVisitor &visit)
{
    return forEachEntry(folder, [&](const std::wstring &, const QString &name) { visit(name); });
}

FolderRead readFolderIdentities(const QString &folder, std::vector<FileIdentity> &identities)
{
    return forEachEntry(folder, [&](const std::wstring &path, const QString &) {
        FileIdentity identity;
        if (readIdentityOfNative(path, identity))
            identities.push_back(identity);
    });
}

bool readFileIdentity(const QString &path, FileIdentity &identity)
{
    return readIdentityOfNative(QDir::toNativeSeparators(path).toStdWString(), identity);
}

#else

FolderRead forEachFolderEntry(const QString &folder, const FolderEntryVisitor &visit)
{
    return forEachEntry(folder, [&](int, const char *name) { visit(QFile::decodeName(name)); });
}

FolderRead readFolderIdentities(const QString &folder, std::vector<FileIdentity> &identities)
{
    return forEachEntry(folder, [&](int folderFd, const char *name) {
        struct stat status = {};
        if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0)
            identities.push_back(identityOf(status));
    });
}

bool readFileIdentity(const QString &path, FileIdentity &identity)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    identity = identityOf(status);
    return true;
}

#endif
