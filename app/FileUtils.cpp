#include "FileUtils.h"

#include "TextUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUuid>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A symbolic link is removed as a link: following it would empty a folder elsewhere.
bool isRealDirectory(const QFileInfo &info)
{
    return info.isDir() && !info.isSymLink();
}

bool removeEntryFile(const QFileInfo &info)
{
    return info.dir().remove(info.fileName());
}

bool replaceFileCopy(const QString &source, const QString &target, bool overwrite)
{
    if (overwrite && QFileInfo::exists(target))
        QFile::remove(target);
    return QFile::copy(source, target);
}

bool isDotEntry(const QString &name)
{
    return name == QLatin1String(".") || name == QLatin1String("..");
}

} // namespace

QString applicationDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString applicationDir()
{
    return QCoreApplication::applicationDirPath();
}

#ifdef Q_OS_WIN
// The Windows temp folder is the user's own already.
QString tempWorkDir()
{
    const QString workDir = QDir::tempPath() + QStringLiteral("/TzQuorvane/");
    if (ensureDirExists(workDir))
        return workDir;
    return QDir::tempPath() + QLatin1Char('/');
}

QString privateRuntimeDir()
{
    return QString();
}
#else
namespace {

// A real folder (not a link), owned by this user, that nobody else may write into; read
// and search rights of others are taken away.
bool isOwnPrivateFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(name.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid() || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return false;
    return (status.st_mode & 0777) == 0700 || ::chmod(name.constData(), 0700) == 0;
}

bool makeOwnPrivateFolder(const QString &path)
{
    ::mkdir(QFile::encodeName(path).constData(), 0700);
    return isOwnPrivateFolder(path);
}

QString &freshFolderPath()
{
    static QString path;
    return path;
}

// Runs when the application object goes: the folder is this run's alone.
void removeFreshFolder()
{
    clearDirectory(freshFolderPath(), true);
}

// Made once per run, with an unguessable name, when the usual folder is refused, and removed
// with all in it when the program quits.
QString freshPrivateFolder()
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    QString &folder = freshFolderPath();
    if (folder.isEmpty()) {
        QByteArray pattern =
            QFile::encodeName(QDir::tempPath() + QStringLiteral("/TzQuorvane-XXXXXX"));
        if (::mkdtemp(pattern.data())) {
            folder = QFile::decodeName(pattern);
            qAddPostRoutine(removeFreshFolder);
        }
    }
    return folder;
}

} // namespace

QString privateRuntimeDir()
{
    // Looked up once: without XDG_RUNTIME_DIR Qt warns on every lookup. Its rights are
    // checked on every call.
    static const QString runtime =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return !runtime.isEmpty() && isOwnPrivateFolder(runtime) ? runtime : QString();
}

QString tempWorkDir()
{
    const QString runtime = privateRuntimeDir();
    const QString base = runtime.isEmpty() ? QDir::tempPath() : runtime;
    const QString workDir = base + QStringLiteral("/TzQuorvane");
    if (makeOwnPrivateFolder(workDir))
        return workDir + QLatin1Char('/');
    const QString fresh = freshPrivateFolder();
    if (!fresh.isEmpty())
        return fresh + QLatin1Char('/');
    return QDir::tempPath() + QLatin1Char('/');
}
#endif

bool openRegularFile(const QString &path, QFile &file)
{
#ifdef Q_OS_WIN
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray &content)
{
    content.clear();
#ifdef Q_OS_WIN
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    content = file.read(maxBytes);
    return true;
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status = {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (regular) {
        content.resize(static_cast<int>(qMin<qint64>(maxBytes, status.st_size)));
        qint64 total = 0;
        while (total < content.size()) {
            const ssize_t got = ::read(fd, content.data() + total, size_t(content.size() - total));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            total += got;
        }
        content.truncate(static_cast<int>(total));
    }
    ::close(fd);
    return regular;
#endif
}

bool ensureDirExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QDir(path).exists() || QDir().mkpath(path);
}

bool makeDir(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path))
        return true;
    return QDir().mkdir(path);
}

bool clearDirectory(const QString &path, bool removeSelf)
{
    if (path.isEmpty())
        return false;
    const QDir dir(path);
    if (!dir.exists())
        return true;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (isRealDirectory(entry))
            clearDirectory(entry.absoluteFilePath(), removeSelf);
        else
            removeEntryFile(entry);
    }
    // Only the folder asked for goes: ancestors that became empty are not ours to remove.
    if (removeSelf)
        return QDir().rmdir(dir.absolutePath());
    return true;
}

void emptyDirectory(const QString &path)
{
    if (path.isEmpty())
        return;
    const QDir dir(path);
    if (!dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (isRealDirectory(entry))
            clearDirectory(entry.absoluteFilePath(), true);
        else
            removeEntryFile(entry);
    }
}

qint64 fileSize(const QString &path)
{
    if (path.isEmpty())
        return 0;
    // Read from the file system's entry alone: opening a FIFO would wait for a writer.
    const QFileInfo info(path);
    return info.isFile() ? info.size() : 0;
}

bool isImageFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString lower = path.toLower();
    for (const char *suffix : {".jpg", ".jpeg", ".gif", ".png", ".bmp", ".tif", ".tiff"}) {
        if (lower.endsWith(QLatin1String(suffix)))
            return true;
    }
    return false;
}

bool isPdfFile(const QString &path)
{
    return !path.isEmpty() && path.toLower().endsWith(QLatin1String(".pdf"));
}

bool isOfficeFile(const QString &path)
{
    for (const char *suffix :
         {".xlsx", ".xls", ".et", ".docx", ".doc", ".wps", ".pptx", ".ppt", ".dps"}) {
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool isDriveRoot(const QString &text)
{
    return (text.size() == 2 || text.size() == 3) && text.at(1) == QLatin1Char(':');
}

bool hasDriveLetter(const QString &text)
{
    return text.size() >= 2 && text.at(1) == QLatin1Char(':');
}

QString copyToSpaceFreeName(const QString &path)
{
    static const QRegularExpression whiteSpace(QStringLiteral("[\\s]+"));
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (!fileName.contains(whiteSpace))
        return path;
    const QString copyPath = applicationDataDir() + QStringLiteral("/output/") + timestampText() +
                             QStringLiteral(".pdf");
    if (QFileInfo::exists(copyPath))
        QFile::remove(copyPath);
    return QFile::copy(path, copyPath) ? copyPath : path;
}

void copyToTempIfChinese(const QString &sourcePath, QString &path, QString &name, QString &suffix)
{
    // The CJK Unified Ideographs block, as code points: a PCRE class written as
    // "\x4e00-\x9fa5" would read as "\x4e" followed by "00-\x9f" and match plain ASCII.
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fa5}]+"));
    const QFileInfo source(sourcePath);
    path = sourcePath;
    name = source.completeBaseName();
    suffix = source.suffix();
    if (!sourcePath.contains(chinese))
        return;

    const QString copyName = QUuid::createUuid().toString();
    const QString copyPath = tempWorkDir() + copyName + QLatin1Char('.') + suffix;
    if (QFile::copy(sourcePath, copyPath)) {
        path = copyPath;
        name = copyName;
    }
}

bool copyFileTo(const QString &source, const QString &target, bool overwrite)
{
    // A backslash is a separator on Windows only; elsewhere it is part of the name.
    const QString normalizedTarget = QDir::fromNativeSeparators(target);
    if (source == normalizedTarget)
        return true;
    if (!QFileInfo::exists(source))
        return false;
    return replaceFileCopy(source, normalizedTarget, overwrite);
}

bool copyDirectoryTree(const QString &source, const QString &target, bool overwrite)
{
    const QDir targetDir(target);
    if (!targetDir.exists() && !QDir().mkdir(targetDir.absolutePath()))
        return false;
    const QFileInfoList entries = QDir(source).entryInfoList();
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (isDotEntry(name) || name == QLatin1String("CONFIG"))
            continue;
        const QString entryTarget = targetDir.filePath(name);
        if (entry.isDir())
            copyDirectoryTree(entry.filePath(), entryTarget, overwrite);
        else
            replaceFileCopy(entry.filePath(), entryTarget, overwrite);
    }
    return true;
}

bool copyDirectoryTreeChecked(const QString &source, const QString &target, bool overwrite)
{
    const QDir targetDir(target);
    if (!targetDir.exists() && !QDir().mkdir(targetDir.absolutePath()))
        return false;
    const QFileInfoList entries = QDir(source).entryInfoList();
    for (const QFileInfo &entry : entries) {
        if (isDotEntry(entry.fileName()))
            continue;
        const QString entryTarget = targetDir.filePath(entry.fileName());
        const bool copied = entry.isDir()
                                ? copyDirectoryTree(entry.filePath(), entryTarget, overwrite)
                                : replaceFileCopy(entry.filePath(), entryTarget, overwrite);
        if (!copied)
            return false;
    }
    return true;
}
