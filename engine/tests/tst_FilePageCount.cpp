#include "EngineStandIn.h"
#include "FilePageCount.h"
#include "FileUtils.h"
#include "NoDescriptorsLeft.h"
#include "PageCountQueue.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr int kWaitMs = EngineStandIn::kWaitMs;
// An engine that only a stop ends within a test's wait.
const QString untilStopped = QString::number(EngineStandIn::kUntilStoppedMs);

} // namespace

// The page-count worker against the stand-in engine, started as a real child process.
class FilePageCountTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_engine.isValid());
        QVERIFY(m_files.isValid());
        QVERIFY(EngineStandIn::placeLibraries());
    }

    void cleanupTestCase() { EngineStandIn::removeLibraries(); }

    void cleanup() { QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning); }

    void fileSizeText_data()
    {
        QTest::addColumn<int>("size"); // -1: no such file
        QTest::addColumn<QString>("expected");
        QTest::newRow("1536 bytes") << 1536 << "1.50KB";
        QTest::newRow("one mega") << 1048576 << "1.00MB";
        QTest::newRow("just below") << 1048575 << "1024.00KB";
        QTest::newRow("empty") << 0 << "0.00KB";
        QTest::newRow("missing") << -1 << "0.00KB";
    }

    void fileSizeText()
    {
        QFETCH(int, size);
        QFETCH(QString, expected);
        const QString path = m_files.filePath(QString("size-%1").arg(size));
        if (size >= 0) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(size));
        }
        QCOMPARE(FilePageCount(path).fileSizeText(), expected);
    }

    void answer_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("state file")
            << QStringList{"state [filepagenum]", "state pagenum=12"} << "12";
        QTest::newRow("state file wins over output")
            << QStringList{"stdout 7", "state [filepagenum]", "state pagenum=12"} << "12";
        QTest::newRow("output without its line end") << QStringList{"stdout 7"} << "7";
        QTest::newRow("output without a windows line end") << QStringList{"stdout  7\r"} << "7";
        QTest::newRow("empty value, output")
            << QStringList{"stdout 7", "state [filepagenum]", "state pagenum="} << "7";
        QTest::newRow("empty value, no output")
            << QStringList{"state [filepagenum]", "state pagenum="} << "全部";
        QTest::newRow("nothing at all") << QStringList{} << "全部";
        QTest::newRow("passed on unchecked")
            << QStringList{"state [FilePageNum]", "state PageNum = \"-1\""} << "-1";
        QTest::newRow("exit code ignored")
            << QStringList{"state [filepagenum]", "state pagenum=3", "exit 1"} << "3";
        QTest::newRow("crash, output") << QStringList{"stdout 五", "abort"} << "五";
        // Read as a file, a FIFO would hold the GUI thread until someone wrote into it.
        QTest::newRow("state file a FIFO, output") << QStringList{"stdout 7", "fifo state"} << "7";
        QTest::newRow("state file a FIFO, no output") << QStringList{"fifo state"} << "全部";
    }

    void answer()
    {
        QFETCH(QStringList, script);
        QFETCH(QString, expected);
        EngineStandIn::setScript(script);
        const QString document = m_files.filePath("文档 1.pdf");
        FilePageCount worker(document);
        QSignalSpy answers(&worker, &FilePageCount::PageCountResultSignal);
        worker.start();
        QVERIFY(answers.wait(kWaitMs));
        QCOMPARE(answers.takeFirst().at(0).toString(), expected);

        const EngineRun run = m_engine.runs().last();
        QCOMPARE(run.workingDirectory, applicationDataDir());
        QCOMPARE(run.arguments.size(), 3);
        QCOMPARE(run.arguments.mid(0, 2), QStringList({"getfilepagenum", document}));
        // Named as this process's, so that a second program with the same home never takes
        // the same name.
        const QString statePath = run.arguments.at(2);
        QVERIFY2(QRegularExpression(
                     "^" + QRegularExpression::escape(applicationDataDir()) + "/state/" +
                     QString::number(QCoreApplication::applicationPid()) + "-[0-9a-z]{6}-\\d+$")
                     .match(statePath)
                     .hasMatch(),
                 qPrintable(statePath));
        QVERIFY(!QFile::exists(statePath));
        QTest::qWait(100);
        QCOMPARE(answers.size(), 0);
    }

    void missingLibraryAnswersUnknownWithoutEngine_data()
    {
        QTest::addColumn<QString>("library");
        for (const QString &library : EngineStandIn::libraries())
            QTest::newRow(qPrintable(library)) << library;
    }

    void missingLibraryAnswersUnknownWithoutEngine()
    {
        QFETCH(QString, library);
        EngineStandIn::setScript({"stdout 4"});
        const QString path = applicationDir() + "/" + library;
        QVERIFY(QFile::remove(path));
        const int runsBefore = m_engine.runs().size();
        QStringList answers = answersOf({m_files.filePath("a.pdf")});
        QVERIFY(touch(path));
        QCOMPARE(answers, QStringList{"-1"});
        QCOMPARE(m_engine.runs().size(), runsBefore);
    }

    // A large folder must neither run an engine per file at once nor leave a row without a
    // count: engines wait their turn, and each leaves nothing open once it has answered.
    void manyWorkersRunAFewAtATimeAndAllAnswer()
    {
        EngineStandIn::setScript({"sleep 300", "state [filepagenum]", "state pagenum=2"});
        const int limit = PageCountQueue::instance().limit();
        QStringList paths;
        for (int i = 0; i < 3 * limit; ++i)
            paths << m_files.filePath(QString("%1.pdf").arg(i));
        const int descriptorsBefore = NoDescriptorsLeft::openDescriptors();
        int mostAtOnce = 0;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, this,
                [&] { mostAtOnce = qMax(mostAtOnce, EngineStandIn::runningEngines()); });
        sampler.start(10);
        int threadsStarted = -1;
        const QStringList answers = answersOf(
            paths, [&] { QCOMPARE(NoDescriptorsLeft::openDescriptors(), descriptorsBefore); },
            [&](const Workers &workers) {
                threadsStarted = int(std::count_if(workers.begin(), workers.end(), [](auto &w) {
                    return w->isRunning() || w->isFinished();
                }));
            });
        QCOMPARE(answers.size(), paths.size());
        QCOMPARE(QSet<QString>(answers.begin(), answers.end()), QSet<QString>{"2"});
        QVERIFY2(mostAtOnce <= limit, qPrintable(QString::number(mostAtOnce)));
        // A worker waiting for its turn holds no thread either.
        QVERIFY2(threadsStarted >= 1 && threadsStarted <= limit,
                 qPrintable(QString::number(threadsStarted)));
    }

    // Counts of Office files may go through LibreOffice, which takes a processor or more for
    // seconds a file: they run two at a time.
    void officeCountsRunTwoAtATime()
    {
        EngineStandIn::setScript({"sleep 300", "state [filepagenum]", "state pagenum=2"});
        QStringList paths;
        for (const char *name : {"a.xlsx", "b.docx", "c.PPT", "d.et", "e.wps", "f.xls"})
            paths << m_files.filePath(name);
        int mostAtOnce = 0;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, this,
                [&] { mostAtOnce = qMax(mostAtOnce, EngineStandIn::runningEngines()); });
        sampler.start(10);
        const QStringList answers = answersOf(paths);
        QCOMPARE(answers, QStringList(QVector<QString>(paths.size(), "2").toList()));
        QVERIFY2(mostAtOnce <= 2, qPrintable(QString::number(mostAtOnce)));
    }

    void hungCountsAreGivenUpAndTheQueueMovesOn_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("pdf") << "pdf";
        QTest::newRow("office") << "xlsx";
    }

    // A count that hangs is given up after the time limit, as unknown; its engine is ended and
    // the files waiting behind it get their turn.
    void hungCountsAreGivenUpAndTheQueueMovesOn()
    {
        QFETCH(QString, suffix);
        FilePageCount::setTimeLimit(300);
        FilePageCount::setOfficeTimeLimit(300);
        EngineStandIn::setScript({"state [filepagenum]", "sleep " + untilStopped});
        const int runsBefore = m_engine.runs().size();
        QStringList paths;
        for (int i = 0; i < PageCountQueue::instance().limit() + 2; ++i)
            paths << m_files.filePath(QString("hung-%1.%2").arg(i).arg(suffix));
        const QStringList answers = answersOf(paths);
        FilePageCount::setTimeLimit(30000);
        FilePageCount::setOfficeTimeLimit(300000);
        QCOMPARE(answers, QStringList(QVector<QString>(paths.size(), "-1").toList()));
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
        for (const EngineRun &run : m_engine.runs().mid(runsBefore))
            QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(run.arguments.value(2)), kWaitMs);
    }

    void noDescriptorsLeftStillAnswers()
    {
        EngineStandIn::setScript({"state [filepagenum]", "state pagenum=2"});
        FilePageCount first(m_files.filePath("a.pdf"));
        FilePageCount second(m_files.filePath("b.pdf"));
        QSignalSpy firstAnswer(&first, &FilePageCount::PageCountResultSignal);
        QSignalSpy secondAnswer(&second, &FilePageCount::PageCountResultSignal);
        // The workers' threads (which need descriptors of their own) have asked for the
        // start; the engines are started once the event loop runs, with none left.
        first.start();
        second.start();
        QVERIFY(first.wait(kWaitMs) && second.wait(kWaitMs));
        {
            const NoDescriptorsLeft noneLeft;
            QTRY_VERIFY_WITH_TIMEOUT(firstAnswer.size() == 1 && secondAnswer.size() == 1, kWaitMs);
        }
        QCOMPARE(firstAnswer.takeFirst().at(0).toString(), QString("-1"));
        QCOMPARE(secondAnswer.takeFirst().at(0).toString(), QString("-1"));
    }

    void workersStartedTogetherGetTheirOwnStateFiles()
    {
        EngineStandIn::setScript({"state [filepagenum]", "state pagenum=2"});
        FilePageCount first(m_files.filePath("a.pdf"));
        FilePageCount second(m_files.filePath("b.pdf"));
        QSignalSpy firstAnswer(&first, &FilePageCount::PageCountResultSignal);
        QSignalSpy secondAnswer(&second, &FilePageCount::PageCountResultSignal);
        first.start();
        second.start();
        QTRY_VERIFY_WITH_TIMEOUT(firstAnswer.size() == 1 && secondAnswer.size() == 1, kWaitMs);
        const auto runs = m_engine.runs();
        QVERIFY(runs.at(runs.size() - 1).arguments.at(2) !=
                runs.at(runs.size() - 2).arguments.at(2));
    }

    void deletingEndsTheEngineWithoutAnswer_data()
    {
        QTest::addColumn<bool>("waitForEngine"); // else deleted right after the thread start
        QTest::newRow("engine running") << true;
        QTest::newRow("thread just started") << false;
    }

    void deletingEndsTheEngineWithoutAnswer()
    {
        QFETCH(bool, waitForEngine);
        EngineStandIn::setScript({"state [filepagenum]", "stdout 4", "sleep " + untilStopped});
        const int runsBefore = m_engine.runs().size();
        auto worker = std::make_unique<FilePageCount>(m_files.filePath("a.pdf"));
        int answers = 0;
        connect(worker.get(), &FilePageCount::PageCountResultSignal, this, [&] { ++answers; });
        worker->start();
        QString statePath;
        if (waitForEngine) {
            QTRY_COMPARE_WITH_TIMEOUT(m_engine.runs().size(), runsBefore + 1, kWaitMs);
            statePath = m_engine.runs().last().arguments.value(2);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(statePath), kWaitMs);
        }
        // The delete does not wait for the engine to end.
        QVERIFY2(EngineStandIn::returnsWithoutWaiting([&] { worker.reset(); }),
                 EngineStandIn::keptWaiting);
        // An engine that the launcher was still starting is ended there, just after.
        QVERIFY2(EngineStandIn::allEnginesEnd(), EngineStandIn::leftRunning);
        QTest::qWait(300);
        QCOMPARE(answers, 0);
        if (waitForEngine)
            QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(statePath), kWaitMs);
    }

private:
    using Workers = std::vector<std::unique_ptr<FilePageCount>>;

    // Starts a worker for every path at once and gives their answers in path order ("" for
    // none); afterStart runs right after the starts, before the event loop; whileAlive runs
    // once all have answered, before the workers go.
    static QStringList answersOf(const QStringList &paths,
                                 const std::function<void()> &whileAlive = {},
                                 const std::function<void(const Workers &)> &afterStart = {})
    {
        Workers workers;
        QVector<QString> answers(paths.size());
        int answered = 0;
        for (int i = 0; i < paths.size(); ++i) {
            workers.push_back(std::make_unique<FilePageCount>(paths[i]));
            connect(workers.back().get(), &FilePageCount::PageCountResultSignal,
                    [&answers, &answered, i](const QString &answer) {
                        answers[i] = answer;
                        ++answered;
                    });
            workers.back()->start();
        }
        if (afterStart)
            afterStart(workers);
        // The engines take their turns a few at a time: a wait's bound for each turn.
        const int turns = int(paths.size()) / PageCountQueue::officeInstance().limit() + 1;
        const bool allAnswered =
            QTest::qWaitFor([&] { return answered >= paths.size(); }, turns * kWaitMs);
        // A second answer would come as an engine ends.
        const bool enginesEnded =
            QTest::qWaitFor([] { return EngineStandIn::runningEngines() == 0; }, kWaitMs);
        QCoreApplication::processEvents();
        if (!allAnswered || !enginesEnded || answered != paths.size())
            return {};
        if (whileAlive)
            whileAlive();
        return QStringList(answers.begin(), answers.end());
    }

    static bool touch(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }

    EngineStandIn m_engine;
    QTemporaryDir m_files;
};

QTEST_GUILESS_MAIN(FilePageCountTest)
#include "tst_FilePageCount.moc"
