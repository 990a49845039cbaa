#include "EngineOutputCheck.h"

#include "FileUtils.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString canonicalFolderOf(const QString &path)
{
    return QFileInfo(path).absoluteDir().canonicalPath();
}

} // namespace

EngineOutputCheck::EngineOutputCheck(const QString &requestedPath) : m_requestedPath(requestedPath)
{
    const FolderRead read = readFolderIdentities(QFileInfo(requestedPath).absolutePath(), m_before);
    m_folderNoted = read != FolderRead::Unreadable;
    std::sort(m_before.begin(), m_before.end());
}

bool EngineOutputCheck::accepts(const QString &reportedPath) const
{
    if (!m_folderNoted || reportedPath.isEmpty())
        return false;
    FileIdentity reported;
    if (!readFileIdentity(reportedPath, reported) || !reported.regularFile || reported.size <= 0)
        return false;
    if (!liesInRequestedFolder(reportedPath))
        return false;
    return !std::binary_search(m_before.begin(), m_before.end(), reported);
}

// However the two paths spell the folder: through a link, with "." or "..".
bool EngineOutputCheck::liesInRequestedFolder(const QString &reportedPath) const
{
    const QString folder = canonicalFolderOf(reportedPath);
    return !folder.isEmpty() &&
           folder.compare(canonicalFolderOf(m_requestedPath), kFileNameCase) == 0;
}
