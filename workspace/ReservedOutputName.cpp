#include "ReservedOutputName.h"

#include "FileUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

struct Reservation
{
    const ReservedOutputName *owner;
    QString folder; // absolute and clean, so that two spellings of a folder meet
    QString name;
    QString suffix;
};

// Every row runs in the window's thread, so the reservations need no lock.
std::vector<Reservation> &reservations()
{
    static std::vector<Reservation> all;
    return all;
}

QString folderKey(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, kFileNameCase) == 0;
}

// "report" for "report-12", the name of a result whose pages are numbered files; null for a
// name without such a number.
QString numberedStem(const QString &name)
{
    static const QRegularExpression numbered(QStringLiteral("^(.*)-[0-9]+$"));
    const QRegularExpressionMatch match = numbered.match(name);
    return match.hasMatch() ? match.captured(1) : QString();
}

// Whether results named a and b could land on the same file: with numbered pages, "report"
// writes "report-1" and so meets a file named "report-1".
bool clash(const QString &a, const QString &b, bool numberedPages)
{
    if (sameName(a, b))
        return true;
    if (!numberedPages)
        return false;
    const QString stemA = numberedStem(a), stemB = numberedStem(b);
    return (!stemA.isNull() && sameName(stemA, b)) || (!stemB.isNull() && sameName(stemB, a));
}

// Anything at the path counts, a link that leads nowhere included: writing through it would
// create its target somewhere else.
bool takenOnDisk(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The names of the folder's entries that end in suffix, without it.
QStringList namesWithSuffix(const QString &folder, const QString &suffix)
{
    QStringList names;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.endsWith(suffix, kFileNameCase))
            names.append(entry.left(entry.size() - suffix.size()));
    }
    return names;
}

} // namespace

ReservedOutputName::ReservedOutputName(const QString &folder, const QString &wantedName,
                                       const QString &suffix, bool numberedPages)
{
    const QString key = folderKey(folder);
    const QStringList namesInFolder =
        numberedPages ? namesWithSuffix(folder, suffix) : QStringList();
    auto isFree = [&](const QString &name) {
        if (takenOnDisk(folder + QLatin1Char('/') + name + suffix))
            return false;
        for (const QString &existing : namesInFolder) {
            if (clash(existing, name, true))
                return false;
        }
        return std::none_of(
            reservations().begin(), reservations().end(), [&](const Reservation &other) {
                return sameName(other.folder, key) && sameName(other.suffix, suffix) &&
                       clash(other.name, name, numberedPages);
            });
    };
    m_name = wantedName;
    for (int number = 1; !isFree(m_name); ++number)
        m_name = wantedName + QStringLiteral("(%1)").arg(number);
    m_path = folder + QLatin1Char('/') + m_name + suffix;
    reservations().push_back({this, key, m_name, suffix});
}

ReservedOutputName::~ReservedOutputName()
{
    std::vector<Reservation> &all = reservations();
    all.erase(std::remove_if(
                  all.begin(), all.end(),
                  [this](const Reservation &reservation) { return reservation.owner == this; }),
              all.end());
}
