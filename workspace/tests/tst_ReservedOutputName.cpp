#include "ReservedOutputName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

namespace {

// The CPU time of the calling thread, whatever else the machine runs.
qint64 threadCpuNs()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool makeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

// The free name a result is written under, as the rows take it in the window's thread.
class ReservedOutputNameTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Each picture conversion of "notes" left its first page under the next free name: the
    // search goes through ten thousand taken names in one pass over the folder.
    void tenThousandTakenNamesAreSearchedAtOnce()
    {
        const QString folder = m_dir.filePath("pictures");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(makeFile(folder + "/notes-1.png"));
        for (int k = 1; k < 10000; ++k)
            QVERIFY(makeFile(folder + QString("/notes(%1)-1.png").arg(k)));
        const qint64 before = threadCpuNs();
        const ReservedOutputName name(folder, "notes", ".png", true);
        const double spentMs = (threadCpuNs() - before) / 1e6;
        QCOMPARE(name.name(), QString("notes(10000)"));
        QVERIFY2(spentMs < 100, qPrintable(QString("%1 ms of CPU time").arg(spentMs)));
    }

    // One folder spelt two ways (the output folder chosen again through a link, while a row
    // still converts) is one folder for the reservations, as for the check of the result.
    void oneFolderSpeltTwoWaysIsReservedOnce()
    {
        const QString folder = m_dir.filePath("out");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(folder, m_dir.filePath("desktop")));
        const ReservedOutputName first(folder, "a", ".pdf", false);
        const ReservedOutputName second(m_dir.filePath("desktop"), "a", ".pdf", false);
        const ReservedOutputName third(m_dir.filePath("desktop/../out/."), "a", ".pdf", false);
        QCOMPARE(first.name(), QString("a"));
        QCOMPARE(second.name(), QString("a(1)"));
        QCOMPARE(third.name(), QString("a(2)"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(ReservedOutputNameTest)
#include "tst_ReservedOutputName.moc"
