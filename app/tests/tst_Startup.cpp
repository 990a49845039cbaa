#include "HighDpiSetup.h"
#include "StartupMode.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QProcess>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The bound of a wait on a probe process: a Qt program started on a machine at load 30 takes
// seconds, so the bound is a safety net only.
const int kWaitMs = 60000;

} // namespace

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
        QVERIFY(second->waitForFinished(kWaitMs));
        QCOMPARE(second->exitCode(), 0);

        // A crashed first instance must not block the next start.
        first->kill();
        QVERIFY(first->waitForFinished(kWaitMs));
        auto third = startProbe();
        QCOMPARE(third->readLine().trimmed(), QByteArray("first"));
        third->closeWriteChannel();
        QVERIFY(third->waitForFinished(kWaitMs));
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
        QVERIFY(second->waitForFinished(kWaitMs));
        first->closeWriteChannel();
        QVERIFY(first->waitForFinished(kWaitMs));

        const char *data = static_cast<const char *>(segment.constData());
        QCOMPARE(data[0], '9');
        QCOMPARE(data[1], 'x');
    }

    // A lock file that another user planted (and holds) where a lock might be looked for
    // neither keeps Quorvane from starting nor switches the single instance off.
    void plantedLockFilesDoNotDecideTheStart_data()
    {
        QTest::addColumn<bool>("foreignRuntimeFolder");
        QTest::newRow("in the shared temp folder") << false;
        QTest::newRow("in a runtime folder of another user") << true;
    }

    void plantedLockFilesDoNotDecideTheStart()
    {
        QFETCH(bool, foreignRuntimeFolder);
        if (::geteuid() != 0)
            QSKIP("only root can plant files of another user");
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString key =
            "quorvane-single-" +
            QCryptographicHash::hash(QFileInfo(probePath()).canonicalFilePath().toUtf8(),
                                     QCryptographicHash::Sha1)
                .toHex()
                .left(16);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QString planted = QDir::tempPath() + QString("/%1-%2.lock").arg(key).arg(::geteuid());
        if (foreignRuntimeFolder) {
            const QString runtime = scratch.filePath("runtime");
            QVERIFY(QDir().mkpath(runtime));
            QCOMPARE(::chown(QFile::encodeName(runtime).constData(), 12345, 12345), 0);
            environment.insert("XDG_RUNTIME_DIR", runtime);
            planted = runtime + "/" + key + ".lock";
        }
        const int fd = ::open(QFile::encodeName(planted).constData(), O_RDWR | O_CREAT, 0666);
        QVERIFY(fd >= 0);
        QCOMPARE(::fchown(fd, 12345, 12345), 0);
        QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);

        auto first = startProbe(environment);
        const QByteArray firstSays = first->readLine().trimmed();
        auto second = startProbe(environment);
        const QByteArray secondSays = second->readLine().trimmed();
        first->closeWriteChannel();
        second->closeWriteChannel();
        QVERIFY(first->waitForFinished(kWaitMs) && second->waitForFinished(kWaitMs));
        ::close(fd);
        QFile::remove(planted);
        QCOMPARE(firstSays, QByteArray("first"));
        QCOMPARE(secondSays, QByteArray("running"));
    }

private:
    static QString probePath()
    {
        return QCoreApplication::applicationDirPath() + "/single_instance_probe";
    }

    std::unique_ptr<QProcess>
    startProbe(const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        auto probe = std::make_unique<QProcess>();
        probe->setProcessEnvironment(environment);
        probe->start(probePath(), QStringList());
        if (probe->waitForStarted(kWaitMs))
            probe->waitForReadyRead(kWaitMs);
        return probe;
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_Startup.moc"
