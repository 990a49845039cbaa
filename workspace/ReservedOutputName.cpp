#include "ReservedOutputName.h"

#include "FileUtils.h"
#include "FolderEntries.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

struct Reservation
{
    const ReservedOutputName *owner;
    QString folder; // with links resolved, so that two spellings of a folder meet
    QString name;
    QString suffix;
};

// Every row runs in the window's thread, so the reservations need no lock.
std::vector<Reservation> &reservations()
{
    static std::vector<Reservation> all;
    return all;
}

// The folder as the output check takes it: with its links resolved, as long as it is there.
QString folderKey(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, kFileNameCase) == 0;
}

// A name as the platform compares it, for lookups.
QString comparable(const QString &name)
{
    return kFileNameCase == Qt::CaseInsensitive ? name.toCaseFolded() : name;
}

// "report" for "report-12", the name of a result whose pages are numbered files; null for a
// name without such a number.
QString numberedStem(const QString &name)
{
    static const QRegularExpression numbered(QStringLiteral("^(.*)-[0-9]+$"));
    const QRegularExpressionMatch match = numbered.match(name);
    return match.hasMatch() ? match.captured(1) : QString();
}

// Names that results may not take, looked up in constant time. With numbered pages, a name
// "report" meets a taken "report-1" (its first page), and a name "report-1" a taken "report".
class TakenNames
{
public:
    explicit TakenNames(bool numberedPages) : m_numberedPages(numberedPages) {}

    void add(const QString &name)
    {
        m_names.insert(comparable(name));
        const QString stem = m_numberedPages ? numberedStem(name) : QString();
        if (!stem.isNull())
            m_stems.insert(comparable(stem));
    }

    bool meets(const QString &name) const
    {
        const QString key = comparable(name);
        if (m_names.contains(key))
            return true;
        if (!m_numberedPages)
            return false;
        const QString stem = numberedStem(name);
        return m_stems.contains(key) || (!stem.isNull() && m_names.contains(comparable(stem)));
    }

private:
    bool m_numberedPages;
    QSet<QString> m_names;
    QSet<QString> m_stems;
};

// Anything at the path counts, a link that leads nowhere included: writing through it would
// create its target somewhere else.
bool takenOnDisk(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The names, without suffix, of the folder's entries of every kind that end in suffix: one
// listing, whatever the number of names tried against it.
void addNamesWithSuffix(const QString &folder, const QString &suffix, TakenNames &taken)
{
    forEachFolderEntry(folder, [&](const QString &entry) {
        if (entry.endsWith(suffix, kFileNameCase))
            taken.add(entry.left(entry.size() - suffix.size()));
    });
}

} // namespace

ReservedOutputName::ReservedOutputName(const QString &folder, const QString &wantedName,
                                       const QString &suffix, bool numberedPages)
{
    const QString key = folderKey(folder);
    TakenNames reserved(numberedPages);
    for (const Reservation &other : reservations()) {
        if (sameName(other.folder, key) && sameName(other.suffix, suffix))
            reserved.add(other.name);
    }
    // Only the pictures of pages need the whole folder: another name is seen by a look at it.
    TakenNames inFolder(true);
    if (numberedPages)
        addNamesWithSuffix(folder, suffix, inFolder);
    auto isFree = [&](const QString &name) {
        return !reserved.meets(name) && !inFolder.meets(name) &&
               !takenOnDisk(folder + QLatin1Char('/') + name + suffix);
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
