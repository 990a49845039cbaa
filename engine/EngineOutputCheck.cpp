#include "EngineOutputCheck.h"

#include "FileUtils.h"
#include "FolderEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QString canonicalFolderOf(const QString &path)
{
    return QFileInfo(path).absoluteDir().canonicalPath();
}

} // namespace

EngineOutputCheck::EngineOutputCheck(const QString &requestedPath) : m_requestedPath(requestedPath)
{
    const FolderRead read = forEachFolderEntry(
        QFileInfo(requestedPath).absolutePath(), [this](int folderFd, const char *name) {
            struct stat status = {};
            // An entry that went since the folder was read stands there no more.
            if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0)
                m_before.push_back(stampOf(status));
        });
    m_folderNoted = read != FolderRead::Unreadable;
    std::sort(m_before.begin(), m_before.end());
}

EngineOutputCheck::FileStamp EngineOutputCheck::stampOf(const struct stat &status)
{
    return {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
            qint64(status.st_mtim.tv_sec), qint64(status.st_mtim.tv_nsec)};
}

bool EngineOutputCheck::accepts(const QString &reportedPath) const
{
    if (!m_folderNoted || reportedPath.isEmpty())
        return false;
    struct stat status = {};
    if (::lstat(QFile::encodeName(reportedPath).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode) || status.st_size <= 0)
        return false;
    if (!liesInRequestedFolder(reportedPath))
        return false;
    return !std::binary_search(m_before.begin(), m_before.end(), stampOf(status));
}

// However the two paths spell the folder: through a link, with "." or "..".
bool EngineOutputCheck::liesInRequestedFolder(const QString &reportedPath) const
{
    const QString folder = canonicalFolderOf(reportedPath);
    return !folder.isEmpty() &&
           folder.compare(canonicalFolderOf(m_requestedPath), kFileNameCase) == 0;
}
