#include "EngineOutputCheck.h"

#include "FileUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// File times are kept in steps of up to two seconds (FAT), and the kernel stamps a write by
// a clock a little coarser than the one that timed the start: a file written just after the
// start may carry a time just before it. The start is taken down to its two-second step.
constexpr qint64 kFileTimeStepMs = 2000;

bool isNumberedName(const QString &name, const QString &requestedName)
{
    const int dot = requestedName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? requestedName : requestedName.left(dot);
    const QString suffix = dot < 0 ? QString() : requestedName.mid(dot);
    if (!name.startsWith(stem, kFileNameCase) || !name.endsWith(suffix, kFileNameCase) ||
        name.size() <= stem.size() + suffix.size())
        return false;
    static const QRegularExpression numbering(QStringLiteral("^[-_]?[0-9]+$"));
    return numbering.match(name.mid(stem.size(), name.size() - stem.size() - suffix.size()))
        .hasMatch();
}

bool isOwnName(const QFileInfo &reported, const QFileInfo &requested)
{
    const QString folder = reported.absoluteDir().canonicalPath();
    if (folder.isEmpty() ||
        folder.compare(requested.absoluteDir().canonicalPath(), kFileNameCase) != 0)
        return false;
    return reported.fileName().compare(requested.fileName(), kFileNameCase) == 0 ||
           isNumberedName(reported.fileName(), requested.fileName());
}

} // namespace

bool isOutputOfRun(const QString &reportedPath, const QString &requestedPath,
                   qint64 runStartMsecsSinceEpoch)
{
    if (reportedPath.isEmpty() || requestedPath.isEmpty())
        return false;
    const QFileInfo reported(reportedPath);
    if (!reported.isFile() || reported.isSymLink() || reported.size() <= 0)
        return false;
    if (!isOwnName(reported, QFileInfo(requestedPath)))
        return false;
    const qint64 earliest = runStartMsecsSinceEpoch - runStartMsecsSinceEpoch % kFileTimeStepMs;
    return reported.lastModified().toMSecsSinceEpoch() >= earliest;
}
