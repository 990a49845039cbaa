// Measures what a user feels when a large folder of PDFs is dropped on the PDF-to-file page:
// how soon every row is listed, how soon every page count is in, the longest time the GUI
// thread did not get to its event loop, the peak memory, and how long clearing the list
// takes; and how long starting the conversions of many rows with "全部转换" and ending them
// holds the window: ending them one by one, deleting one and clearing the list of them.
// scripts/bench-files.sh runs it and puts the engine's own time beside it.
//
//   bench_file_add make-files <count> <folder>   writes count one-page PDFs into folder
//   bench_file_add run <folder> [timeout-s]      drops folder on a page and prints the figures
//   bench_file_add stop <count> <folder>         converts count rows and ends them one by
//                                                one, then deletes a converting row, then
//                                                clears count converting rows
#include "EngineProcess.h"
#include "EngineReaper.h"
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
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QTimer>
#include <QUrl>

#include <algorithm>
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

// How long the window did not answer in a phase: the longest gap between two turns of its
// event loop, and the most processor time its thread spent in such a gap, which a loaded
// machine does not stretch.
struct Hold
{
    qint64 wallMs = -1;
    double cpuMs = -1;
};

// Notes the longest gap between two turns of the event loop: a timer that should fire every
// 2 ms fires late by as much as the GUI thread was busy elsewhere; beside it, the GUI thread's
// own CPU time in the gap. With BENCH_STALLS set, every gap over 40 ms is traced with what the
// GUI thread did meanwhile: its own CPU time, and the time it was ready to run but waited for
// a processor (a loaded machine).
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
    Hold hold() const { return {m_longest, m_longestCpu}; }
    int ticks() const { return m_ticks; }
    // Counts the longest gap afresh from now on, as from a user's action.
    void restartPhase()
    {
        if (m_trace)
            std::fprintf(stderr, "phase from %lld ms\n", static_cast<long long>(m_total.elapsed()));
        m_sinceLast.restart();
        m_last = schedule();
        m_longest = 0;
        m_longestCpu = 0;
    }

private:
    void tick()
    {
        ++m_ticks;
        const qint64 gap = m_sinceLast.restart();
        m_longest = qMax(m_longest, gap);
        const Schedule now = schedule();
        m_longestCpu = qMax(m_longestCpu, now.cpuMs - m_last.cpuMs);
        if (m_trace && gap > 40)
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
    double m_longestCpu = 0;
    int m_ticks = 0;
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

// Notes when the last of some objects is destroyed.
class DestroyedWatch
{
public:
    template <typename T>
    DestroyedWatch(const QList<T *> &objects, const QElapsedTimer &clock) : m_left(objects.size())
    {
        for (T *object : objects)
            QObject::connect(object, &QObject::destroyed, &m_context, [this, &clock] {
                if (--m_left == 0)
                    m_allGoneMs = clock.elapsed();
            });
    }
    bool allGone() const { return m_left == 0; }
    // On clock, when the last one went; -1 until then.
    qint64 allGoneMs() const { return m_allGoneMs; }

private:
    QObject m_context;
    int m_left;
    qint64 m_allGoneMs = -1;
};

// Presses OK in the next confirmation and restarts clock and a phase of stalls there.
void confirmNextModal(QElapsedTimer &clock, StallWatch &stalls)
{
    onNextModal([&clock, &stalls](QWidget *modal) {
        stalls.restartPhase();
        clock.start();
        modal->findChild<QPushButton *>(QStringLiteral("btn_ok"))->click();
    });
}

// True once no engine is being ended any more; cheap enough to ask while the window is timed,
// unlike a look at the process table.
bool noEngineEnding()
{
    return EngineReaper::ending() == 0;
}

struct ClearFigures
{
    qint64 goneMs = -1; // from the confirmation until every row is destroyed
    Hold hold;          // the window meanwhile
};

// Clears the page's list, confirming in its dialog, and waits until every row is destroyed
// and every engine it ran has ended (-1 figures when no dialog came).
ClearFigures clearList(PdfToFileWidget &page, StallWatch &stalls)
{
    QElapsedTimer clock;
    const DestroyedWatch rows(page.findChildren<QuorvaneItemWidget *>(), clock);
    confirmNextModal(clock, stalls);
    page.on_MainBtn_ClearList_clicked();
    if (!clock.isValid() || !runUntil([&] { return rows.allGone() && noEngineEnding(); }, 60000))
        return {};
    return {rows.allGoneMs(), stalls.hold()};
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

    const qint64 clearMs = clearList(page, stalls).goneMs;

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

// A process of the process table: its parent, its state letter and whether it converts.
struct ProcessEntry
{
    qint64 parent = 0;
    char state = '?';
    bool conversion = false;
};

QHash<qint64, ProcessEntry> processTable()
{
    QHash<qint64, ProcessEntry> table;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isProcess = false;
        const qint64 pid = entry.toLongLong(&isProcess);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!isProcess || !stat.open(QIODevice::ReadOnly) || !commandLine.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        const QByteArray state = fields.value(0);
        table.insert(pid,
                     ProcessEntry{fields.value(1).toLongLong(), state.isEmpty() ? '?' : state.at(0),
                                  commandLine.readAll().contains("file2txt")});
    }
    return table;
}

// The conversion engines that run below this program (page counts left out).
int runningConversions(const QHash<qint64, ProcessEntry> &table = processTable())
{
    int running = 0;
    for (const ProcessEntry &process : table) {
        if (process.parent == QCoreApplication::applicationPid() && process.state != 'Z' &&
            process.conversion)
            ++running;
    }
    return running;
}

// True when count conversion engines run and nothing below this program is running on a
// processor: every engine has got as far as waiting for its source.
bool conversionsWaiting(int count)
{
    const QHash<qint64, ProcessEntry> table = processTable();
    if (runningConversions(table) != count)
        return false;
    QSet<qint64> below{QCoreApplication::applicationPid()};
    for (int grown = 1; grown > 0;) {
        grown = 0;
        for (auto process = table.begin(); process != table.end(); ++process) {
            if (!below.contains(process.key()) && below.contains(process->parent)) {
                below.insert(process.key());
                ++grown;
            }
        }
    }
    below.remove(QCoreApplication::applicationPid());
    return std::none_of(below.begin(), below.end(),
                        [&](qint64 pid) { return table.value(pid).state == 'R'; });
}

// The rows whose conversion has started, read without building the forms of the others.
int convertingRows(const PdfToFileWidget &page)
{
    int converting = 0;
    for (const QuorvaneItemWidget *row : page.findChildren<QuorvaneItemWidget *>()) {
        const auto *state = row->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
        if (state && state->currentIndex() == 1)
            ++converting;
    }
    return converting;
}

struct StartFigures
{
    Hold hold; // the window from the press until every row shows its conversion
    bool started = false;
};

// Presses "全部转换" on page and waits until every row shows its conversion, then until all
// count engines run and wait for their sources: a window timed while a hundred engines start
// up would be timed against them rather than against its own work.
StartFigures convertAll(PdfToFileWidget &page, int count, StallWatch &stalls)
{
    StartFigures figures;
    stalls.restartPhase();
    page.on_btn_AllConvert_clicked();
    // A press that started every row at once is timed by the watch's next turn.
    const int ticks = stalls.ticks();
    if (runUntil([&] { return convertingRows(page) == count && stalls.ticks() > ticks; }, 120000))
        figures.hold = stalls.hold();
    int waitingLooks = 0;
    figures.started = runUntil(
        [&] {
            // Twice in a row, so that a moment between two steps of an engine does not count.
            if (waitingLooks < 2)
                waitingLooks = conversionsWaiting(count) ? waitingLooks + 1 : 0;
            return waitingLooks >= 2;
        },
        120000);
    return figures;
}

// A source for a conversion that never ends by itself: a named pipe that nobody writes, which
// the engine reads until it is ended.
bool makeEndlessSource(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

struct EndFigures
{
    Hold hold;        // the window meanwhile
    qint64 sumMs = 0; // the presses' own time, all added up
    bool ended = false;
};

// Presses "结束转换" on every row, one after another as the user would, each press an event
// of its own a few milliseconds after the last, and waits until every engine has ended. The
// rows are pressed where they are, without bringing them into view first: the user scrolls
// to a row, which builds the rows coming into view a few at a time, and that is the add
// step's to time.
EndFigures endOneByOne(PdfToFileWidget &page, StallWatch &stalls)
{
    EndFigures figures;
    const QList<QuorvaneItemWidget *> rows = page.findChildren<QuorvaneItemWidget *>();
    int next = 0;
    QTimer presses;
    presses.setInterval(5);
    QObject::connect(&presses, &QTimer::timeout, [&] {
        if (next >= rows.size()) {
            presses.stop();
            return;
        }
        QElapsedTimer press;
        press.start();
        rows[next++]
            ->findChild<QPushButton *>(QStringLiteral("btn_ConvertEnd_Converting"))
            ->click();
        figures.sumMs += press.elapsed();
    });
    stalls.restartPhase();
    presses.start();
    figures.ended = runUntil([&] { return next >= rows.size() && noEngineEnding(); }, 60000);
    figures.hold = stalls.hold();
    return figures;
}

// Deletes the first row, converting, confirming in its dialog, and waits until the row is
// destroyed and its engine has ended: how the window answered from the confirmation on (-1
// when no dialog came or the row stayed).
Hold deleteFirstRow(PdfToFileWidget &page, StallWatch &stalls)
{
    QuorvaneItemWidget *row = page.row(0);
    QElapsedTimer clock;
    const DestroyedWatch gone(QList<QuorvaneItemWidget *>{row}, clock);
    // The delete buttons answer only while the pointer is over the row.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(row, &enter);
    confirmNextModal(clock, stalls);
    row->findChild<QPushButton *>(QStringLiteral("btn_DeleteItem_Converting"))->click();
    if (!clock.isValid() || !runUntil([&] { return gone.allGone() && noEngineEnding(); }, 60000))
        return {};
    return stalls.hold();
}

// How long starting and ending conversions holds the window, as the longest time it does
// not answer and its thread's own time then: count rows started by "全部转换", count
// converting rows ended one after another, one converting row deleted, and count converting
// rows cleared from the list at once. Each row's engine reads a named pipe that
// nobody writes, so every engine is still at work when its row lets it go.
int timeStops(int count, const QString &folder)
{
    const QString output = QDir(folder).filePath(QStringLiteral("out"));
    if (!QDir().mkpath(output))
        return 1;
    writeConfigValue(QStringLiteral("convert"), QStringLiteral("FileConvertOutPutDir"), output);
    PdfToFileWidget page;
    page.resize(1000, 640);
    page.show();
    // One more source than rows, for the row that takes the deleted one's place.
    for (int i = 0; i <= count; ++i) {
        if (!makeEndlessSource(QDir(folder).filePath(QString::asprintf("doc-%05d.pdf", i))))
            return 1;
    }
    for (int i = 0; i < count; ++i)
        page.addConverterRow(QDir(folder).filePath(QString::asprintf("doc-%05d.pdf", i)));
    page.setPage(1); // the list, as a drop shows it
    QCoreApplication::processEvents();
    page.ClickAllSettingFormatSlot(QStringLiteral("txt"));
    StallWatch stalls;
    stalls.start();

    const StartFigures all = convertAll(page, count, stalls);
    bool started = all.started;
    const EndFigures ends = endOneByOne(page, stalls);
    bool ended = ends.ended && runUntil([] { return runningConversions() == 0; }, 60000);

    started = convertAll(page, count, stalls).started && started;
    const Hold deleted = deleteFirstRow(page, stalls);
    ended = runUntil([&] { return runningConversions() == count - 1; }, 60000) && ended;

    page.addConverterRow(QDir(folder).filePath(QString::asprintf("doc-%05d.pdf", count)));
    page.ClickAllSettingFormatSlot(QStringLiteral("txt"));
    started = convertAll(page, count, stalls).started && started;
    const ClearFigures clear = clearList(page, stalls);
    ended = runUntil([] { return runningConversions() == 0; }, 60000) && ended;

    std::printf("rows=%d started=%s all_ms=%lld all_cpu_ms=%.0f end_ms=%lld end_cpu_ms=%.0f "
                "end_sum_ms=%lld delete_ms=%lld delete_cpu_ms=%.0f clear_ms=%lld "
                "clear_cpu_ms=%.0f ended=%s\n",
                count, started ? "yes" : "no", static_cast<long long>(all.hold.wallMs),
                all.hold.cpuMs, static_cast<long long>(ends.hold.wallMs), ends.hold.cpuMs,
                static_cast<long long>(ends.sumMs), static_cast<long long>(deleted.wallMs),
                deleted.cpuMs, static_cast<long long>(clear.hold.wallMs), clear.hold.cpuMs,
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
