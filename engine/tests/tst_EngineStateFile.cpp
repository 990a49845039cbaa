#include "EngineFileLines.h"
#include "EngineStateFile.h"
#include "ProfileStringReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the program reads of a state file: the progress, the outputs and the page count.
struct StateFileReadings
{
    int progress = 0;
    EngineOutputFiles outputs;
    QByteArray pages;
};

StateFileReadings readEverything(const QString &path)
{
    return {readStateFileProgress(path), readStateFileOutputs(path),
            readProfileString(path, "filepagenum", "pagenum")};
}

// The bytes this process has read so far, from files, pipes and devices alike.
qint64 bytesReadSoFar()
{
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

} // namespace

// Reading the engine's state file: the progress lines and the INI values.
class EngineStateFileTest : public QObject
{
    Q_OBJECT

private slots:
    void progress_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("expected");
        QTest::newRow("step then progress") << QByteArray("step=3\nprogress=40\n") << 40;
        QTest::newRow("progress then step") << QByteArray("progress=40\nstep=3\n") << 3;
        QTest::newRow("after the last equals") << QByteArray("progress=a=75\n") << 75;
        QTest::newRow("filesize skipped") << QByteArray("progress=20\nfilesize=4096\n") << 20;
        QTest::newRow("no equals") << QByteArray("progress\n") << 0;
        QTest::newRow("not a number") << QByteArray("progress=abc\n") << 0;
        QTest::newRow("indented is not matched") << QByteArray(" progress=40\n") << 0;
        QTest::newRow("case sensitive") << QByteArray("Progress=40\n") << 0;
        QTest::newRow("prefix is enough") << QByteArray("stepping=9\n") << 9;
        QTest::newRow("windows line ends") << QByteArray("progress=55\r\n") << 55;
        QTest::newRow("windows line ends, last wins")
            << QByteArray("progress=55\r\nfilesize=9\r\nstep=60\r\n") << 60;
        // Thirty thousand lines, far past the first 256 KB: the last one still counts.
        QTest::newRow("long file") << manyLines("progress=50\n", 30000) + "progress=77\n" << 77;
        QTest::newRow("line too long to be a progress")
            << QByteArray("progress=40\nprogress=") + QByteArray(100 * 1024, '9') + "\n"
            << 40;
        QTest::newRow("no line end") << QByteArray("progress=66") << 66;
        QTest::newRow("empty") << QByteArray() << 0;
    }

    void progress()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, expected);
        QCOMPARE(readStateFileProgress(write(content)), expected);
    }

    void progressOfMissingFileIsZero()
    {
        QCOMPARE(readStateFileProgress(m_dir.filePath("missing")), 0);
    }

    void profileValue_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain") << QByteArray("[filepagenum]\npagenum=12\n") << QByteArray("12");
        QTest::newRow("names without case")
            << QByteArray("[FilePageNum]\nPAGENUM=12\n") << QByteArray("12");
        QTest::newRow("blanks trimmed")
            << QByteArray("  [ filepagenum ]  \n  pagenum  =  12  \r\n") << QByteArray("12");
        QTest::newRow("one pair of quotes")
            << QByteArray("[filepagenum]\npagenum=\"\"12\"\"\n") << QByteArray("\"12\"");
        QTest::newRow("unbalanced quote kept")
            << QByteArray("[filepagenum]\npagenum=\"12\n") << QByteArray("\"12");
        QTest::newRow("other section")
            << QByteArray("[other]\npagenum=3\n[filepagenum]\npagenum=4\n") << QByteArray("4");
        QTest::newRow("later section")
            << QByteArray("[filepagenum]\n[other]\npagenum=3\n") << QByteArray();
        QTest::newRow("windows line ends")
            << QByteArray("[filepagenum]\r\npagenum=5\r\n") << QByteArray("5");
        QTest::newRow("key before any section") << QByteArray("pagenum=3\n") << QByteArray();
        QTest::newRow("first of two wins")
            << QByteArray("[filepagenum]\npagenum=1\npagenum=2\n") << QByteArray("1");
        QTest::newRow("empty value") << QByteArray("[filepagenum]\npagenum=\n") << QByteArray();
        QTest::newRow("missing key") << QByteArray("[filepagenum]\npages=9\n") << QByteArray();
        QTest::newRow("longer than 2047 bytes")
            << QByteArray("[filepagenum]\npagenum=") + QByteArray(3000, 'x') + "\n"
            << QByteArray(2047, 'x');
    }

    void profileValue()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, expected);
        QCOMPARE(readProfileString(write(content), "filepagenum", "pagenum"), expected);
    }

    // Which "filecount" and "file_0" count: those of section "outputfiles" wherever it stands,
    // the last where one is written twice, with either line end.
    void outputEntries_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("fileCount");
        QTest::addColumn<QString>("firstFile");
        QTest::newRow("plain") << QByteArray("[outputfiles]\nfilecount=1\nfile_0=/o/a.docx\n")
                               << "1"
                               << "/o/a.docx";
        QTest::newRow("windows line ends")
            << QByteArray("progress=100\r\n[outputfiles]\r\nfilecount=1\r\nfile_0=/o/a.docx\r\n")
            << "1"
            << "/o/a.docx";
        QTest::newRow("names without case")
            << QByteArray("[OutputFiles]\nFileCount=2\nFILE_0=/o/a.png\n") << "2"
            << "/o/a.png";
        QTest::newRow("keys of a later section are not the section's")
            << QByteArray("[outputfiles]\nfilecount=1\n[other]\nfile_0=/o/a.docx\n") << "1"
            << "";
        QTest::newRow("keys of an earlier section are not the section's")
            << QByteArray("[other]\nfilecount=3\nfile_0=/o/b.docx\n[outputfiles]\n") << ""
            << "";
        QTest::newRow("keys before any section")
            << QByteArray("filecount=1\nfile_0=/o/a.docx\n") << ""
            << "";
        QTest::newRow("rewritten: the last counts")
            << QByteArray("[outputfiles]\nfilecount=0\nfile_0=/o/old.docx\n[progress]\n"
                          "[outputfiles]\nfilecount=1\nfile_0=/o/new.docx\n")
            << "1"
            << "/o/new.docx";
        QTest::newRow("after thirty thousand progress lines")
            << manyLines("progress=50\n", 30000) + "[outputfiles]\nfilecount=1\nfile_0=/o/a.docx\n"
            << "1"
            << "/o/a.docx";
        // "file_0=" and the path come to the line limit exactly: the line end is not counted.
        const QByteArray pathFillingALine = "/" + QByteArray(engineLineLimit - 8, 'a');
        QTest::newRow("path filling a line, windows line end")
            << "[outputfiles]\r\nfilecount=1\r\nfile_0=" + pathFillingALine + "\r\n"
            << "1" << QString(pathFillingALine);
        QTest::newRow("path longer than a line may be")
            << QByteArray("[outputfiles]\nfilecount=1\nfile_0=/") + QByteArray(100 * 1024, 'a') +
                   "\n"
            << "1"
            << "";
        QTest::newRow("no line end at the end")
            << QByteArray("[outputfiles]\nfilecount=1\nfile_0=/o/a.docx") << "1"
            << "/o/a.docx";
    }

    void outputEntries()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, fileCount);
        QFETCH(QString, firstFile);
        const EngineOutputFiles outputs = readStateFileOutputs(write(content));
        QCOMPARE(outputs.fileCount, fileCount);
        QCOMPARE(outputs.firstFile, firstFile);
    }

    void outputEntriesComeBackAsWritten_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("windows path") << "C:\\Users\\u\\Desktop\\Quorvane\\report.docx";
        QTest::newRow("commas") << "/home/u/a, b,c/report.docx";
        QTest::newRow("escapes look-alike") << "C:\\new\\table\\x41.docx";
        QTest::newRow("chinese") << "/home/u/桌面/年度报告_1.png";
    }

    void outputEntriesComeBackAsWritten()
    {
        QFETCH(QString, path);
        const QString stateFile =
            write("[outputfiles]\nfilecount=2\nfile_0=" + path.toUtf8() + "\nfile_1=x\n");
        const EngineOutputFiles outputs = readStateFileOutputs(stateFile);
        QCOMPARE(outputs.fileCount, QString("2"));
        QCOMPARE(outputs.firstFile, path);
    }

    // A state file that is no regular file, or is huge, is neither waited on nor read whole.
    void stateFilesOfOtherKindsOrSizes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO without a writer") << "fifo";
        QTest::newRow("device") << "device";
        QTest::newRow("folder") << "folder";
        QTest::newRow("2 GB file") << "huge";
    }

    void stateFilesOfOtherKindsOrSizes()
    {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath("planted-" + kind);
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "device") {
            QVERIFY(QFile::link("/dev/zero", path));
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path + "/x"));
        } else {
            QFile file(write("[outputfiles]\nfilecount=1\nfile_0=/a\nprogress=30\n"));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.resize(qint64(2) << 30)); // sparse: costs no disk
            QVERIFY(file.rename(path));
        }
        const qint64 readBefore = bytesReadSoFar();
        QVERIFY(readBefore >= 0);
        StateFileReadings readings;
        QVERIFY2(readsWithoutWaiting(path, readings), "the reader waited on the file");
        // Each of the three reads stops at the size limit: far from the file's 2 GB.
        const qint64 bytesRead = bytesReadSoFar() - readBefore;
        QVERIFY2(bytesRead <= 3 * engineFileSizeLimit + 65536,
                 qPrintable(QString::number(bytesRead)));
        QCOMPARE(readings.progress, kind == "huge" ? 30 : 0);
        QCOMPARE(readings.outputs.firstFile, kind == "huge" ? QString("/a") : QString());
        QVERIFY(readings.pages.isEmpty());
    }

    void valueIsCutAtZeroByte()
    {
        QCOMPARE(decodeUtf8UpToZero(QByteArray("ab\0cd", 5)), QString("ab"));
        QCOMPARE(decodeUtf8UpToZero("\xe6\xa1\x8c"), QString("桌"));
    }

private:
    // Reads the state file at path on a thread of its own, and tells whether that was done
    // within a bound that only a reader waiting on the file reaches (a minute, far beyond
    // the time reading takes on a busy machine). A reader held by a FIFO is let go then.
    static bool readsWithoutWaiting(const QString &path, StateFileReadings &readings)
    {
        std::packaged_task<StateFileReadings()> reading([path] { return readEverything(path); });
        std::future<StateFileReadings> result = reading.get_future();
        std::thread reader(std::move(reading));
        if (result.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
            const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            reader.detach();
            return false;
        }
        reader.join();
        readings = result.get();
        return true;
    }

    static QByteArray manyLines(const QByteArray &line, int count)
    {
        QByteArray lines;
        for (int i = 0; i < count; ++i)
            lines += line;
        return lines;
    }

    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QString::number(++m_files));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

QTEST_GUILESS_MAIN(EngineStateFileTest)
#include "tst_EngineStateFile.moc"
