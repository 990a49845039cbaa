#include "HighDpiSetup.h"
#include "StartupMode.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSharedMemory>
#include <QtTest>

#include <memory>

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void highDpiDecision_data()
    {
        QTest::addColumn<bool>("haveSize");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("scaling");
        QTest::newRow("just large enough") << true << QSize(2324, 1540) << true;
        QTest::newRow("4k") << true << QSize(3840, 2160) << true;
        QTest::newRow("width at the bound") << true << QSize(2323, 2000) << false;
        QTest::newRow("height at the bound") << true << QSize(3000, 1539) << false;
        QTest::newRow("full hd") << true << QSize(1920, 1080) << false;
        QTest::newRow("no display") << false << QSize(3840, 2160) << false;
    }

    void highDpiDecision()
    {
        QFETCH(bool, haveSize);
        QFETCH(QSize, size);
        QFETCH(bool, scaling);
        QCOMPARE(wantsHighDpiScaling(haveSize, size), scaling);
    }

    void startupMode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        const int normal = int(StartupMode::Normal);
        const int install = int(StartupMode::Install);
        const int uninstall = int(StartupMode::Uninstall);
        QTest::newRow("none") << QStringList{"Quorvane"} << normal;
        QTest::newRow("program name is not scanned") << QStringList{"-install"} << normal;
        QTest::newRow("install") << QStringList{"q", "-install"} << install;
        QTest::newRow("uninstall") << QStringList{"q", "-uninstall"} << uninstall;
        QTest::newRow("any case") << QStringList{"q", "-UnInstall"} << uninstall;
        QTest::newRow("inside a longer word") << QStringList{"q", "x-installer"} << install;
        QTest::newRow("uninstall before install")
            << QStringList{"q", "-uninstall", "-install"} << uninstall;
        QTest::newRow("first match decides")
            << QStringList{"q", "-install", "-uninstall"} << install;
        QTest::newRow("unrelated first") << QStringList{"q", "file.pdf", "-INSTALL"} << install;
        QTest::newRow("no switch") << QStringList{"q", "install", "uninstall"} << normal;
    }

    void startupMode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QCOMPARE(int(startupModeFromArguments(arguments)), mode);
    }

    void secondInstanceIsSeenUntilTheFirstDies()
    {
        auto first = startProbe();
        QCOMPARE(first->readLine().trimmed(), QByteArray("first"));

        auto second = startProbe();
        QCOMPARE(second->readLine().trimmed(), QByteArray("running"));
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->exitCode(), 0);

        // A crashed first instance must not block the next start.
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        auto third = startProbe();
        QCOMPARE(third->readLine().trimmed(), QByteArray("first"));
        third->closeWriteChannel();
        QVERIFY(third->waitForFinished(5000));
    }

    void secondInstanceWritesNineWithoutTerminator()
    {
        QSharedMemory segment(QStringLiteral("quorvanetz"));
        QVERIFY2(segment.create(1024), qPrintable(segment.errorString()));
        std::fill_n(static_cast<char *>(segment.data()), 1024, 'x');

        auto first = startProbe();
        QCOMPARE(first->readLine().trimmed(), QByteArray("first"));
        auto second = startProbe();
        QCOMPARE(second->readLine().trimmed(), QByteArray("running"));
        QVERIFY(second->waitForFinished(5000));
        first->closeWriteChannel();
        QVERIFY(first->waitForFinished(5000));

        const char *data = static_cast<const char *>(segment.constData());
        QCOMPARE(data[0], '9');
        QCOMPARE(data[1], 'x');
    }

private:
    std::unique_ptr<QProcess> startProbe()
    {
        auto probe = std::make_unique<QProcess>();
        probe->start(QCoreApplication::applicationDirPath() + "/single_instance_probe",
                     QStringList());
        if (probe->waitForStarted(5000))
            probe->waitForReadyRead(5000);
        return probe;
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_Startup.moc"
