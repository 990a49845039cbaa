#include "RunOwnedFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMultiHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace RunOwnedFiles {
namespace {

struct Claim
{
    QString tag;
    int lock = -1; // held while the run lives
};

QMutex &claimsMutex()
{
    static QMutex mutex;
    return mutex;
}

QHash<QString, Claim> &claims()
{
    static QHash<QString, Claim> all;
    return all;
}

QString folderKey(const QString &folder)
{
    QString key = QDir::cleanPath(folder);
    return key == QLatin1String("/") ? QString() : key;
}

QString newTag()
{
    static const char letters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    QString tag = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-');
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(letters[QRandomGenerator::system()->bounded(36)]);
    return tag;
}

QString lockPath(const QString &folder, const QString &tag)
{
    return folder + QLatin1Char('/') + tag + QStringLiteral(".lock");
}

// A run's lock, or the name it is made under until it is held ("<tag>.lock-XXXXXX").
const QRegularExpression &lockName()
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d+-[0-9a-z]{6})\\.lock(-[A-Za-z0-9]{6})?$"));
    return name;
}

// A file or a folder with all in it; a link is removed, never followed.
void removeEntry(const QFileInfo &entry)
{
    if (entry.isDir() && !entry.isSymLink())
        QDir(entry.filePath()).removeRecursively();
    else
        QFile::remove(entry.filePath());
}

#ifndef Q_OS_WIN
bool isSameFile(int fd, const QByteArray &path)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// The lock is made under a name of its own and takes its place only once it is held: a run
// that cleans up never finds this run's lock unheld. The lock, or -1.
int claimFolder(const QString &folder, const QString &tag)
{
    if (!QDir().mkpath(folder))
        return -1;
    const QByteArray lock = QFile::encodeName(lockPath(folder, tag));
    QByteArray pending = lock + "-XXXXXX";
    const int fd = ::mkostemp(pending.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::rename(pending.constData(), lock.constData()) == 0)
        return fd;
    // A run that cleans up took it for a leftover meanwhile.
    ::unlink(pending.constData());
    ::close(fd);
    return -1;
}

// Whether the lock at path was left by a run that has ended: then it is taken and fd holds it
// until the caller closes it.
bool takeEndedRunsLock(const QByteArray &path, int &fd)
{
    fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 && isSameFile(fd, path);
}
#endif

} // namespace

QString namePrefix(const QString &folder)
{
    const QString key = folderKey(folder);
    const QMutexLocker lock(&claimsMutex());
    Claim &claim = claims()[key];
    if (claim.tag.isEmpty())
        claim.tag = newTag();
#ifndef Q_OS_WIN
    if (claim.lock < 0)
        claim.lock = claimFolder(key, claim.tag);
#endif
    return key + QLatin1Char('/') + claim.tag + QLatin1Char('-');
}

void removeThoseOfEndedRuns(const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder)
#else
    const QString key = folderKey(folder);
    const QFileInfoList entries = QDir(key).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                          QDir::System | QDir::NoDotAndDotDot);
    QMultiHash<QString, QFileInfo> entriesOfTag;
    static const QRegularExpression entryName(QStringLiteral("^(\\d+-[0-9a-z]{6})-"));
    for (const QFileInfo &entry : entries) {
        const QRegularExpressionMatch match = entryName.match(entry.fileName());
        if (match.hasMatch())
            entriesOfTag.insert(match.captured(1), entry);
    }
    for (const QFileInfo &entry : entries) {
        const QRegularExpressionMatch match = lockName().match(entry.fileName());
        if (!match.hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(entry.filePath());
        int fd = -1;
        if (takeEndedRunsLock(path, fd)) {
            const bool isPlacedLock = match.captured(2).isEmpty();
            if (isPlacedLock) {
                for (const QFileInfo &ended : entriesOfTag.values(match.captured(1)))
                    removeEntry(ended);
            }
            // The lock goes last, so that a clean-up cut short is taken up again next time.
            ::unlink(path.constData());
        }
        if (fd >= 0)
            ::close(fd);
    }
#endif
}

void release(const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder)
#else
    const QString key = folderKey(folder);
    const QMutexLocker lock(&claimsMutex());
    auto claim = claims().find(key);
    if (claim == claims().end() || claim->lock < 0)
        return;
    const QString prefix = claim->tag + QLatin1Char('-');
    const QStringList entries =
        QDir(key).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.startsWith(prefix))
            return;
    }
    ::unlink(QFile::encodeName(lockPath(key, claim->tag)).constData());
    ::close(claim->lock);
    claims().erase(claim);
#endif
}

} // namespace RunOwnedFiles
