// Measures what a user feels when a large folder of PDFs is dropped on the PDF-to-file page:
// how soon every row is listed, how soon every page count is in, the longest time the GUI
// thread did not get to its event loop, the peak memory, and how long clearing the list
// takes; and how long ending the conversions of many rows, one by one or by clearing the
// list, holds the window.
// scripts/bench-files.sh runs it and puts the engine's own time beside it.
//
//   bench_file_add make-files <count> <folder>   writes count one-page PDFs into folder
//   bench_file_add run <folder> [timeout-s]      drops folder on a page and prints the figures
//   bench_file_add stop <count> <folder>         converts count rows and ends them, then
//                                                clears count converting rows
#include "EngineProcess.h"
#include "ModalDriver.h"
#include "PdfToFileWidget.h"
#include "QuorvaneItemWidget.h"
#include "SettingsStore.h"
#include "ServiceEndpoints.h"
#include "TinyPdf.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <sys/stat.h>

namespace {

int makeFiles(int count, const QString &folder)
{
    if (!QDir().mkpath(folder))
        return 1;
    const QByteArray pdf = tinyPdf({QStringLiteral("Benchmark page")});
    for (int i = 0; i < count; ++i) {
        QFile file(QDir(folder).filePath(QString::asprintf("doc-%05d.pdf", i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
            return 1;
    }
    return 0;
}

// The peak resident memory of this process so far, in megabytes.
double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

// Notes the longest gap between two turns of the event loop: a timer that should fire every
// 2 ms fires late by as much as the GUI thread was busy elsewhere. With BENCH_STALLS set, every
// gap over 40 ms is traced with what the GUI thread did meanwhile: its own CPU time, and the
// time it was ready to run but waited for a processor (a loaded machine).
class StallWatch : public QObject
{
public:
    StallWatch() : m_trace(qEnvironmentVariableIsSet("BENCH_STALLS"))
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(2);
        connect(&m_tick, &QTimer::timeout, this, [this] { tick(); });
    }
    void start()
    {
        m_sinceLast.start();
        m_total.start();
        m_tick.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    void tick()
    {
        const qint64 gap = m_sinceLast.restart();
        m_longest = qMax(m_longest, gap);
        if (!m_trace)
            return;
        const Schedule now = schedule();
        if (gap > 40)
            std::fprintf(stderr, "stall %lld ms ending at %lld ms: cpu %.0f ms, waited %.0f ms\n",
                         static_cast<long long>(gap), static_cast<long long>(m_total.elapsed()),
                         now.cpuMs - m_last.cpuMs, now.waitMs - m_last.waitMs);
        m_last = now;
    }

    struct Schedule
    {
        double cpuMs = 0;
        double waitMs = 0;
    };
    static Schedule schedule()
    {
        QFile file(QStringLiteral("/proc/thread-self/schedstat"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
        return {fields.value(0).toDouble() / 1e6, fields.value(1).toDouble() / 1e6};
    }

    const bool m_trace;
    QTimer m_tick;
    QElapsedTimer m_sinceLast;
    QElapsedTimer m_total;
    qint64 m_longest = 0;
    Schedule m_last;
};

void dropFolder(QWidget *page, const QString &folder)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &drop);
}

// Runs the event loop until done() holds, checking every 10 ms; false at the deadline. The
// loop sleeps while there is nothing to do, as the program's own would: a loop that polls
// without pause would take a whole core from the engines and stand in the scheduler's eyes
// as a busy thread rather than an interactive one.
template <typename Done> bool runUntil(Done done, qint64 deadlineMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > deadlineMs)
            loop.quit();
    });
    check.start(10);
    if (!done())
        loop.exec();
    return done();
}

// Clears the page's list, confirming in its dialog: how long from the confirmation until the
// rows are gone (-1 when no dialog came).
qint64 clearListMs(PdfToFileWidget &page)
{
    QElapsedTimer clearClock;
    onNextModal([&clearClock](QWidget *modal) {
        clearClock.start();
        modal->findChild<QPushButton *>(QStringLiteral("btn_ok"))->click();
    });
    page.on_MainBtn_ClearList_clicked();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return clearClock.isValid() ? clearClock.elapsed() : -1;
}

int run(const QString &folder, int timeoutSeconds)
{
    const int fileCount = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files).size();
    PdfToFileWidget page;
    page.resize(1000, 640);
    page.show();
    QCoreApplication::processEvents();

    StallWatch stalls;
    QElapsedTimer clock;
    stalls.start();
    clock.start();
    dropFolder(&page, folder);
    const qint64 deadline = qint64(timeoutSeconds) * 1000;

    bool listed = runUntil([&] { return page.rowCount() >= fileCount; }, deadline);
    const qint64 listedMs = clock.elapsed();

    // Rows settle in any order; the cursor only moves past rows whose count is in. Rows are
    // read as they are, without building the forms of rows out of view.
    const QList<QuorvaneItemWidget *> rows = page.findChildren<QuorvaneItemWidget *>();
    int settled = 0;
    int unknown = 0;
    const bool counted = listed && runUntil(
                                       [&] {
                                           for (; settled < rows.size(); ++settled) {
                                               const QString text = rows[settled]->pageCountText();
                                               if (text == QStringLiteral("读取中"))
                                                   return false;
                                               if (text != QStringLiteral("1页"))
                                                   ++unknown;
                                           }
                                           return true;
                                       },
                                       deadline);
    const qint64 settleMs = clock.elapsed();
    const qint64 longestStall = stalls.longestMs();
    const double peakMb = peakResidentMb();

    const qint64 clearMs = clearListMs(page);

    std::printf("files=%d listed=%s listed_ms=%lld settled=%s settle_ms=%lld unknown=%d "
                "longest_stall_ms=%lld peak_mb=%.0f clear_ms=%lld rows_left=%d\n",
                fileCount, listed ? "yes" : "no", static_cast<long long>(listedMs),
                counted ? "yes" : "no", static_cast<long long>(settleMs), unknown,
                static_cast<long long>(longestStall), peakMb, static_cast<long long>(clearMs),
                page.rowCount());
    return listed && counted && page.rowCount() == 0 ? 0 : 1;
}

// The GUI thread's own cost of one row: rows added one after another to a shown page.
int timeRows(int count)
{
    PdfToFileWidget page;
    page.resize(1000, 640);
    page.show();
    page.setPage(1);
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        page.addConverterRow(QStringLiteral("/nonexistent/doc-%1.pdf").arg(i));
        if (i % 10 == 9)
            QCoreApplication::processEvents();
    }
    const qint64 addMs = clock.elapsed();
    QCoreApplication::processEvents();
    const qint64 shownMs = clock.elapsed();
    std::printf("rows=%d add_ms=%lld shown_ms=%lld\n", count, static_cast<long long>(addMs),
                static_cast<long long>(shownMs));
    return 0;
}

// The conversion engines that run below this program (page counts left out).
int runningConversions()
{
    int running = 0;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!stat.open(QIODevice::ReadOnly) || !commandLine.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1).toLongLong() == QCoreApplication::applicationPid() &&
            fields.value(0) != "Z" && commandLine.readAll().contains("file2txt"))
            ++running;
    }
    return running;
}

// Starts the conversion of every row of page and waits until all count engines run.
bool convertAll(PdfToFileWidget &page, int count)
{
    page.on_btn_AllConvert_clicked();
    return runUntil([&] { return runningConversions() == count; }, 120000);
}

// How long ending conversions holds the window: count rows end their conversions one after
// another, as the user would press "结束转换" on each (the longest and the sum of them), and
// count converting rows are cleared from the list at once. Each row's engine reads a named
// pipe that nobody writes, so every engine is still at work when its row lets it go.
int timeStops(int count, const QString &folder)
{
    const QString output = QDir(folder).filePath(QStringLiteral("out"));
    if (!QDir().mkpath(output))
        return 1;
    writeConfigValue(QStringLiteral("convert"), QStringLiteral("FileConvertOutPutDir"), output);
    PdfToFileWidget page;
    page.resize(1000, 640);
    page.show();
    for (int i = 0; i < count; ++i) {
        const QString pipe = QDir(folder).filePath(QString::asprintf("doc-%05d.pdf", i));
        if (::mkfifo(QFile::encodeName(pipe).constData(), 0600) != 0)
            return 1;
        page.addConverterRow(pipe);
    }
    QCoreApplication::processEvents();
    page.ClickAllSettingFormatSlot(QStringLiteral("txt"));

    bool started = convertAll(page, count);
    qint64 longestEndMs = 0;
    QElapsedTimer all;
    all.start();
    for (int i = 0; i < page.rowCount(); ++i) {
        QElapsedTimer one;
        one.start();
        page.row(i)->findChild<QPushButton *>(QStringLiteral("btn_ConvertEnd_Converting"))->click();
        longestEndMs = qMax(longestEndMs, one.elapsed());
    }
    const qint64 allEndsMs = all.elapsed();
    bool ended = runUntil([] { return runningConversions() == 0; }, 60000);

    started = convertAll(page, count) && started;
    const qint64 clearMs = clearListMs(page);
    ended = runUntil([] { return runningConversions() == 0; }, 60000) && ended;

    std::printf("rows=%d started=%s end_ms=%lld end_all_ms=%lld clear_ms=%lld ended=%s\n", count,
                started ? "yes" : "no", static_cast<long long>(longestEndMs),
                static_cast<long long>(allEndsMs), static_cast<long long>(clearMs),
                ended ? "yes" : "no");
    return started && ended ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    if (arguments.size() == 3 && arguments[0] == QLatin1String("make-files"))
        return makeFiles(arguments[1].toInt(), arguments[2]);
    if (arguments.size() == 2 && arguments[0] == QLatin1String("rows")) {
        QApplication app(argc, argv);
        setServiceBaseAddresses(QStringLiteral("http://127.0.0.1:9"),
                                QStringLiteral("https://127.0.0.1:9"));
        return timeRows(arguments[1].toInt());
    }
    if (arguments.size() == 3 && arguments[0] == QLatin1String("stop")) {
        QApplication app(argc, argv);
        setServiceBaseAddresses(QStringLiteral("http://127.0.0.1:9"),
                                QStringLiteral("https://127.0.0.1:9"));
        const int result = timeStops(arguments[1].toInt(), arguments[2]);
        EngineProcess::finishEnding(); // as the program does when it quits
        return result;
    }
    if (arguments.size() >= 2 && arguments[0] == QLatin1String("run")) {
        QApplication app(argc, argv);
        // The confirmation looks up the main window through the account services, which
        // would ask the maker's service for the user's details: keep that off the network.
        setServiceBaseAddresses(QStringLiteral("http://127.0.0.1:9"),
                                QStringLiteral("https://127.0.0.1:9"));
        const int result = run(arguments[1], arguments.value(2, QStringLiteral("600")).toInt());
        EngineProcess::finishEnding();
        return result;
    }
    std::fprintf(stderr, "usage: bench_file_add make-files <count> <folder>\n"
                         "       bench_file_add run <folder> [timeout-s]\n"
                         "       bench_file_add stop <count> <folder>\n");
    return 2;
}
