#include "ProcessLookup.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

// Runs real child processes under an executable name longer than the kernel's 15-character
// "comm", so a lookup by the short name would miss them.
class ProcessLookupTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_exePath = m_dir.filePath(QStringLiteral("quorvane-lookup-sleeper"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), m_exePath));
        QVERIFY(QFile::setPermissions(m_exePath, QFile::ReadOwner | QFile::ExeOwner));
    }

    void cleanup()
    {
        for (auto &child : m_children) {
            child->kill();
            child->waitForFinished();
        }
        m_children.clear();
    }

    void emptyNameGivesEmptyMap() { QVERIFY(findProcessesByName(QString()).isEmpty()); }

    void findsEveryCopyWithItsParent()
    {
        const qint64 first = startSleeper();
        const qint64 second = startSleeper();
        const auto found = findProcessesByName(QStringLiteral("quorvane-lookup-sleeper"));
        QCOMPARE(found.size(), 2);
        const quint32 self = static_cast<quint32>(QCoreApplication::applicationPid());
        QCOMPARE(found.value(static_cast<quint32>(first)), self);
        QCOMPARE(found.value(static_cast<quint32>(second)), self);
        QVERIFY(found.firstKey() < found.lastKey());
    }

    void comparisonIsExactAndCaseSensitive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("upper case") << QStringLiteral("QUORVANE-LOOKUP-SLEEPER");
        QTest::newRow("prefix") << QStringLiteral("quorvane-lookup-sleep");
        QTest::newRow("kernel's cut name") << QStringLiteral("quorvane-lookup");
        QTest::newRow("with folder") << m_exePath;
    }

    void comparisonIsExactAndCaseSensitive()
    {
        QFETCH(QString, name);
        startSleeper();
        QVERIFY(findProcessesByName(name).isEmpty());
    }

private:
    qint64 startSleeper()
    {
        auto child = std::make_unique<QProcess>();
        child->start(m_exePath, {QStringLiteral("60")});
        if (!child->waitForStarted())
            return -1;
        const qint64 pid = child->processId();
        m_children.push_back(std::move(child));
        return pid;
    }

    QTemporaryDir m_dir;
    QString m_exePath;
    std::vector<std::unique_ptr<QProcess>> m_children;
};

QTEST_GUILESS_MAIN(ProcessLookupTest)
#include "tst_ProcessLookup.moc"
