#include "FileUtils.h"
#include "IniFile.h"
#include "SettingsStore.h"
#include "UtilsProbeRun.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <chrono>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lets go of whoever waits to read or to write the FIFO at path.
void releaseFifo(const QString &path)
{
    for (const int mode : {O_RDONLY, O_WRONLY}) {
        const int fd = ::open(QFile::encodeName(path).constData(), mode | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace

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
        // Done on a thread of its own, so that a store waiting on the file fails the case at
        // the bound instead of holding it.
        std::packaged_task<QStringList()> use([] {
            const QString id = deviceId();
            const QString idAgain = deviceId();
            writeConfigValue("user", "token", "tok-2");
            const QString token = readConfigValue("user/token");
            writeConfigValue("convert", "FileConvertOutPutDir", "/home/u/out");
            return QStringList{id, idAgain, token, readConfigValue("convert/FileConvertOutPutDir")};
        });
        std::future<QStringList> used = use.get_future();
        std::thread user(std::move(use));
        if (used.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
            releaseFifo(configFilePath());
            user.detach();
            QFAIL("the settings store waited on the file");
        }
        user.join();
        const QStringList values = used.get();
        const QString id = values.at(0);
        QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(id).hasMatch());
        QCOMPARE(values.at(1), id);
        QCOMPARE(values.at(2), QString("tok-2"));
        QCOMPARE(values.at(3), QString("/home/u/out"));

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

    // A file past a megabyte whose first megabyte ends inside a quoted value (a long token
    // with a comma, as a sign-in reply may bring) is read whole and written back whole.
    void longFileIsReadAndWrittenWhole()
    {
        const QString id = "0123456789abcdef0123456789abcdef";
        const QString token = QString(900 * 1024, 'a') + ", " + QString(600 * 1024, 'b');
        writeConfigValue("convert", "FileConvertOutPutDir", "/home/u/out");
        writeConfigValue("user", "uuid", id);
        QVERIFY(writeConfigValue("user", "token", token));
        writeConfigValue("zlast", "key", "last");
        QCOMPARE(readFile(configFilePath()).left(1024 * 1024).count('"'), 1);

        writeConfigValue("convert", "openfilepath", "/home/u/a.pdf");
        const QSettings onDisk(configFilePath(), QSettings::IniFormat);
        const QHash<QString, QString> expected = {{"convert/FileConvertOutPutDir", "/home/u/out"},
                                                  {"convert/openfilepath", "/home/u/a.pdf"},
                                                  {"user/uuid", id},
                                                  {"user/token", token},
                                                  {"zlast/key", "last"}};
        for (auto entry = expected.cbegin(); entry != expected.cend(); ++entry) {
            QVERIFY2(readConfigValue(entry.key()) == entry.value(), qPrintable(entry.key()));
            QVERIFY2(onDisk.value(entry.key()).toString() == entry.value(),
                     qPrintable(entry.key()));
        }
        QCOMPARE(deviceId(), id);
    }

    // A value that would take the file past its bound is refused and changes nothing; what
    // counts is the file's text, in which a character outside ASCII takes six bytes.
    void valuePastTheBoundIsRefused_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain text") << QString(maximumIniFileBytes, 'x');
        QTest::newRow("escaped text") << QString(maximumIniFileBytes / 4, QChar(0x4e2d));
    }

    void valuePastTheBoundIsRefused()
    {
        QFETCH(QString, value);
        writeConfigValue("user", "token", "tok-old");
        const QByteArray before = readFile(configFilePath());
        QVERIFY(!writeConfigValue("user", "token", value));
        QCOMPARE(readFile(configFilePath()), before);
        QCOMPARE(readConfigValue("user/token"), QString("tok-old"));
    }

    // A file at its bound takes every write after which it is no larger than the bound, the
    // value replaced counted out: signing out, another folder of the same length. A write
    // that would take it one byte further is refused, seen by its caller, and leaves the file
    // as it was.
    void writeAtTheBound_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("growth"); // in bytes of the value; -1: the empty value
        QTest::addColumn<bool>("stored");
        QTest::newRow("sign-out") << "user/token" << -1 << true;
        QTest::newRow("a folder as long") << "convert/FileConvertOutPutDir" << 0 << true;
        QTest::newRow("a folder one byte longer") << "convert/FileConvertOutPutDir" << 1 << false;
        QTest::newRow("a token one byte longer") << "user/token" << 1 << false;
        QTest::newRow("a new key") << "convert/openfilepath" << 0 << false;
    }

    void writeAtTheBound()
    {
        QFETCH(QString, key);
        QFETCH(int, growth);
        QFETCH(bool, stored);
        // Written by Qt itself, so that the file is in the spelling a write keeps.
        const QHash<QString, QString> fill = {{"user/uuid", "0123456789abcdef0123456789abcdef"},
                                              {"user/token", QString(4 << 20, 't')},
                                              {"convert/FileConvertOutPutDir", "/home/u/out"},
                                              {"zpad/fill", ""}};
        {
            QSettings file(configFilePath(), QSettings::IniFormat);
            for (auto entry = fill.cbegin(); entry != fill.cend(); ++entry)
                file.setValue(entry.key(), entry.value());
            file.sync();
            file.setValue(
                "zpad/fill",
                QString(int(maximumIniFileBytes - QFileInfo(configFilePath()).size()), 'p'));
        }
        QCOMPARE(QFileInfo(configFilePath()).size(), maximumIniFileBytes);
        const QByteArray before = readFile(configFilePath());

        const QString old = fill.value(key);
        const QString value = growth < 0 ? QString() : QString(old.size() + growth, 'v');
        QCOMPARE(writeConfigValue(key.section('/', 0, 0), key.section('/', 1), value), stored);
        if (stored) {
            QCOMPARE(readConfigValue(key), value);
            QCOMPARE(QSettings(configFilePath(), QSettings::IniFormat).value(key).toString(),
                     value);
            QCOMPARE(QFileInfo(configFilePath()).size(),
                     maximumIniFileBytes - old.size() + value.size());
        } else {
            QVERIFY(readFile(configFilePath()) == before);
            QCOMPARE(readConfigValue(key), old);
        }
        QCOMPARE(readConfigValue("user/uuid"), fill.value("user/uuid"));
    }

    // A file already past the bound (made by something else) is read as Qt reads it, for the
    // keys the program knows, and never rewritten; what is written meanwhile holds for the
    // run. A key set twice reads as set last; line ends, blanks and quotes count as for Qt.
    void oversizedFileIsReadButNotRewritten()
    {
        const QByteArray id = "fedcba9876543210fedcba9876543210";
        QByteArray content = "[convert]\r\nFileConvertOutPutDir = /home/u/out\r\n"
                             "[user]\ntoken=tok-1\nhelp=" +
                             QByteArray(maximumIniFileBytes + 1, 'h') + "\n[pad]\n";
        for (int i = 0; content.size() <= 2 * maximumIniFileBytes; ++i)
            content += "k" + QByteArray::number(i) + "=" + QByteArray(1000, 'p') + "\n";
        content += "[user]\nuuid=" + id + "\n  token=\"tok, 3\"\n";
        writeText(configFilePath(), content);

        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), QString("/home/u/out"));
        QCOMPARE(readConfigValue("user/token"), QString("tok, 3"));
        QCOMPARE(deviceId(), QString(id));
        QVERIFY(writeConfigValue("convert", "openfilepath", "/home/u/b.pdf"));
        QCOMPARE(readConfigValue("convert/openfilepath"), QString("/home/u/b.pdf"));
        QVERIFY(readFile(configFilePath()) == content);

        // A write that reaches the file again ends the run's stand-in.
        QFile::remove(configFilePath());
        writeConfigValue("convert", "openfilepath", "");
        QCOMPARE(readConfigValue("convert/openfilepath"), QString());
    }

    // Each probe run is a run of the program. With the settings file unwritable, every run has
    // the same device id, and another user of the machine another one.
    void deviceIdThatCannotBeStoredStaysFromRunToRun()
    {
        blockProbeSettings();
        const QStringList first = runUtilsProbe({"id", "id"});
        const QStringList second = runUtilsProbe({"id"});
        QCOMPARE(first.size(), 2);
        QVERIFY2(QRegularExpression("^[0-9a-f]{32}$").match(first[0]).hasMatch(),
                 qPrintable(first[0]));
        QCOMPARE(first[1], first[0]);
        QCOMPARE(second, QStringList{first[0]});

        QProcessEnvironment otherUser = QProcessEnvironment::systemEnvironment();
        otherUser.insert("HOME", QDir::homePath() + "/other-user");
        QVERIFY(runUtilsProbe({"id"}, otherUser) != second);
        QVERIFY(QDir(probeConfigPath()).removeRecursively());
    }

    // The repaired copy of a damaged file does not depend on the temp folder: with nowhere to
    // write in it, every key still reads as stored and a write keeps them.
    void damagedFileWithUnusableTempFolder()
    {
        const QByteArray id = "00112233445566778899aabbccddeeff";
        writeProbeSettings("[convert]\nFileConvertOutPutDir=\"/home/u/out\n[user]\nuuid=" + id +
                           "\ntoken=tok-4\n");
        // The work folder's place in the runtime folder is taken by a file, and the temp folder
        // in which a fresh one would be made cannot have one.
        const QString runtime = QDir::homePath() + "/probe-runtime";
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QDir(runtime + "/TzQuorvane").removeRecursively();
        writeText(runtime + "/TzQuorvane", "not a folder");
        QProcessEnvironment noTemp = QProcessEnvironment::systemEnvironment();
        noTemp.insert("XDG_RUNTIME_DIR", runtime);
        noTemp.insert("TMPDIR", "/proc");
        const QStringList lines =
            runUtilsProbe({"read:convert/FileConvertOutPutDir", "read:user/token", "id",
                           "write:convert/openfilepath=/home/u/c.pdf"},
                          noTemp);
        QCOMPARE(lines, QStringList({"/home/u/out", "tok-4", id, "1"}));
        const QSettings onDisk(probeConfigPath(), QSettings::IniFormat);
        QCOMPARE(onDisk.value("convert/FileConvertOutPutDir").toString(), QString("/home/u/out"));
        QCOMPARE(onDisk.value("user/uuid").toString(), QString(id));
        QCOMPARE(onDisk.value("convert/openfilepath").toString(), QString("/home/u/c.pdf"));
    }

    // A write that a full disk keeps from the file holds for the rest of the run.
    void writeToAFullDiskHoldsForTheRun()
    {
        const QByteArray content = "[convert]\nopenfilepath=/home/u/a.pdf\n";
        writeProbeSettings(content);
        QCOMPARE(runUtilsProbe({"limit:16", "write:convert/openfilepath=/home/u/d.pdf",
                                "read:convert/openfilepath"}),
                 QStringList({"", "1", "/home/u/d.pdf"}));
        QVERIFY(readFile(probeConfigPath()) == content);
    }

    // Where not even a repaired copy can be written (a full disk), the file is read as it is;
    // the keys that read empty behind the damage are never written over, neither by a new
    // device id nor by a default output folder, also once there is room again.
    void damagedFileThatCannotBeCopiedKeepsItsKeys()
    {
        const QByteArray content =
            "[a]\nk=\"open\n[convert]\nFileConvertOutPutDir=/home/u/out\n[user]\nuuid="
            "00112233445566778899aabbccddeeff\n";
        writeProbeSettings(content);
        const QStringList lines =
            runUtilsProbe({"limit:16", "read:convert/FileConvertOutPutDir", "id", "unlimit",
                           "write:convert/FileConvertOutPutDir=/home/u/Desktop/Quorvane", "id"});
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[1], QString());
        QVERIFY2(QRegularExpression("^[0-9a-f]{32}$").match(lines[2]).hasMatch(),
                 qPrintable(lines[2]));
        QCOMPARE(lines[4], QString("1"));
        QCOMPARE(lines[5], lines[2]);
        QVERIFY(readFile(probeConfigPath()) == content);
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

    // The settings file of the probe program, whose application-data folder is named after it.
    static QString probeConfigPath()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               "/utils_probe/CONFIG.dat";
    }

    static void writeProbeSettings(const QByteArray &content)
    {
        QDir(probeConfigPath()).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(probeConfigPath()).absolutePath()));
        writeText(probeConfigPath(), content);
    }

    // A folder where the settings file should be: it can be neither read nor written.
    static void blockProbeSettings()
    {
        QFile::remove(probeConfigPath());
        QVERIFY(QDir().mkpath(probeConfigPath()));
    }

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
