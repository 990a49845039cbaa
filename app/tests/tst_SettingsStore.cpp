#include "FileUtils.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <sys/stat.h>

// The settings store and APP.ini against real files in the test's own application-data
// folder; every case starts from a fresh profile.
class SettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(QDir().mkpath(applicationDataDir()));
        QFile::remove(configFilePath());
        QFile::remove(appIniPath());
    }

    void configLivesInApplicationDataFolder()
    {
        QCOMPARE(configFilePath(), applicationDataDir() + "/CONFIG.dat");
        QVERIFY(applicationDataDir().endsWith("/tst_SettingsStore"));
    }

    void neverWrittenKeyReadsEmpty()
    {
        QCOMPARE(readConfigValue("convert/openfilepath"), QString(""));
        QCOMPARE(::readConfigInt("convert", "openfilepath"), 0);
    }

    void valueRoundTrips_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "/home/u/Desktop/Quorvane";
        QTest::newRow("comma") << "C:/out,put/a, b";
        QTest::newRow("backslash") << "C:\\Users\\u\\new";
        QTest::newRow("quotes and equals") << "a=\"b\";c";
        QTest::newRow("chinese") << "/home/u/桌面/转换";
        QTest::newRow("empty") << "";
    }

    void valueRoundTrips()
    {
        QFETCH(QString, value);
        writeConfigValue("convert", "FileConvertOutPutDir", value);
        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), value);
    }

    void writeIsOnDiskAndReadSeesOutsideEdits()
    {
        writeConfigValue("convert", "openfilepath", "/tmp/a.pdf");
        QFile file(configFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.contains("[convert]"));
        QVERIFY(content.contains("openfilepath=/tmp/a.pdf"));
        file.close();

        writeText(configFilePath(), "[convert]\nopenfilepath=/elsewhere/b.pdf\n");
        QCOMPARE(readConfigValue("convert/openfilepath"), QString("/elsewhere/b.pdf"));
    }

    void readConfigInt_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << "42" << 42;
        QTest::newRow("negative") << "-7" << -7;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
    }

    void readConfigInt()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        writeConfigValue("user", "count", stored);
        QCOMPARE(::readConfigInt("user", "count"), expected);
    }

    void deviceIdIsCreatedOnceAndKept()
    {
        const QString first = deviceId();
        QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(first).hasMatch());
        QCOMPARE(readConfigValue("user/uuid"), first);
        QCOMPARE(deviceId(), first);

        writeConfigValue("user", "uuid", "");
        const QString renewed = deviceId();
        QVERIFY(renewed != first);
        QCOMPARE(readConfigValue("user/uuid"), renewed);
    }

    // A line that runs on into the next one must not carry the sign-in and the device id off
    // into another group, neither when reading nor when the next write rewrites the file.
    void damagedFileKeepsSignInAndDeviceId_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::newRow("trailing backslash") << QByteArray("[convert]\nk=a\\\n");
        QTest::newRow("open quote") << QByteArray("[convert]\nk=\"a\n");
        QTest::newRow("quote in a broken line") << QByteArray("[convert]\njunk \" x\n");
        QTest::newRow("open quote in a header") << QByteArray("[con\"vert]\r\nk=b\r\n");
        QTest::newRow("backslash and quote") << QByteArray("[convert]\nk=\"ab\\\n");
    }

    void damagedFileKeepsSignInAndDeviceId()
    {
        QFETCH(QByteArray, damage);
        const QString id = "0123456789abcdef0123456789abcdef";
        writeText(configFilePath(), damage + "[user]\nuuid=" + id.toUtf8() + "\ntoken=tok-1\n");
        QCOMPARE(readConfigValue("user/token"), QString("tok-1"));
        QCOMPARE(deviceId(), id);

        writeConfigValue("convert", "openfilepath", "/home/u/a.pdf");
        QCOMPARE(readConfigValue("convert/openfilepath"), QString("/home/u/a.pdf"));
        const QSettings onDisk(configFilePath(), QSettings::IniFormat);
        QCOMPARE(onDisk.value("user/token").toString(), QString("tok-1"));
        QCOMPARE(onDisk.value("user/uuid").toString(), id);
    }

    // A settings file that cannot be written (or read) keeps what was written for the whole
    // run, and a later write that reaches the file takes over again.
    void unwritableFileKeepsValuesForTheRun_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::newRow("folder in its place") << "folder";
        QTest::newRow("FIFO in its place") << "fifo";
    }

    void unwritableFileKeepsValuesForTheRun()
    {
        QFETCH(QString, blocker);
        if (blocker == "folder")
            QVERIFY(QDir().mkpath(configFilePath()));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(configFilePath()).constData(), 0600), 0);
        QElapsedTimer clock;
        clock.start();

        const QString id = deviceId();
        QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(id).hasMatch());
        QCOMPARE(deviceId(), id);
        writeConfigValue("user", "token", "tok-2");
        QCOMPARE(readConfigValue("user/token"), QString("tok-2"));
        writeConfigValue("convert", "FileConvertOutPutDir", "/home/u/out");
        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), QString("/home/u/out"));
        QVERIFY2(clock.elapsed() < 5000, "the settings store waited on the file");

        if (blocker == "folder")
            QVERIFY(QDir(configFilePath()).removeRecursively());
        else
            QVERIFY(QFile::remove(configFilePath()));
        for (const char *key : {"uuid", "token"})
            writeConfigValue("user", key, "");
        writeConfigValue("convert", "FileConvertOutPutDir", "/saved");
        QCOMPARE(readConfigValue("user/token"), QString());
        QVERIFY(deviceId() != id);
        QCOMPARE(QSettings(configFilePath(), QSettings::IniFormat)
                     .value("convert/FileConvertOutPutDir")
                     .toString(),
                 QString("/saved"));
    }

    void installChannel_data()
    {
        QTest::addColumn<QString>("appIni"); // "<none>": no APP.ini at all
        QTest::addColumn<QString>("expected");
        QTest::newRow("no APP.ini") << "<none>"
                                    << "default";
        QTest::newRow("no key") << "[Install]\nname=x\n"
                                << "default";
        QTest::newRow("empty value") << "[Install]\nchannel=\n"
                                     << "default";
        QTest::newRow("set") << "[Install]\nchannel=store_42\n"
                             << "store_42";
        QTest::newRow("key spelled otherwise") << "[install]\nChannel=x\n"
                                               << "default";
    }

    void installChannel()
    {
        QFETCH(QString, appIni);
        QFETCH(QString, expected);
        if (appIni != "<none>")
            writeText(appIniPath(), appIni.toUtf8());
        QCOMPARE(::installChannel(), expected);
    }

    void markInstallActiveWritesOnce()
    {
        writeText(appIniPath(), "[Install]\nchannel=c1\n");
        QVERIFY(markInstallActive());
        QVERIFY(!markInstallActive());
        QCOMPARE(::installChannel(), QString("c1"));
        QVERIFY(readFile(appIniPath()).contains("active=1"));
    }

    void installName_data()
    {
        QTest::addColumn<QString>("appIni");
        QTest::addColumn<QString>("expected");
        QTest::newRow("native") << "[Install]\nnative=1\nname=pc7\n"
                                << "pc7";
        QTest::newRow("not native") << "[Install]\nnative=0\nname=pc7_other\n"
                                    << "";
        QTest::newRow("no flag") << "[Install]\nname=pc7\n"
                                 << "";
    }

    void installName()
    {
        QFETCH(QString, appIni);
        QFETCH(QString, expected);
        writeText(appIniPath(), appIni.toUtf8());
        QCOMPARE(::installName(), expected);
    }

private:
    static QString appIniPath() { return applicationDataDir() + "/APP.ini"; }

    // Qt reuses a parsed INI file whose size and millisecond time stamp are unchanged, so
    // the rows of one table differ in size.
    static void writeText(const QString &path, const QByteArray &text)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_SettingsStore.moc"
