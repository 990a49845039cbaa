#include "AccountTestEnvironment.h"
#include "ConversionFormatDorpDown.h"
#include "ConversionFormatListItemWidget.h"
#include "ConversionFormatWidget.h"
#include "ConverterItemWidget.h"
#include "EngineStandIn.h"
#include "WindowWaits.h"
#include "FilesToPdfWidget.h"
#include "ImageWordButton.h"
#include "MainWindow.h"
#include "ModalDriver.h"
#include "OpenedUrls.h"
#include "PdfToFileWidget.h"
#include "QuorvaneItemWidget.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"
#include "TinyPdf.h"
#include "XvfbDisplay.h"

#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

std::string skipReason;
qint64 xServer = -1; // a process of the test's own, no engine

// Safety nets only, many times what a step takes on a loaded machine: a page count or a
// conversion by poppler's tools, and one by LibreOffice, which has taken over 90 s for a
// small file at a load of 30.
constexpr int kToolsBoundMs = 120000;
constexpr int kOfficeBoundMs = 900000;
// The X server and the window drawing on a loaded machine; a safety net as well.
constexpr int kScreenBoundMs = 60000;

// Drops files on a widget the way a drag from the file manager ends.
void dropFiles(QWidget *target, const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    QMimeData data;
    data.setUrls(urls);
    const QPoint inside = target->rect().center();
    QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

int statePage(QWidget *row)
{
    return child<QStackedWidget>(row, "stackedWidget")->currentIndex();
}

QString labelText(QWidget *row, const char *name)
{
    return child<QLabel>(row, name)->text();
}

// What a label shows once it shows something other than before, waited for within boundMs,
// so that a wrong text fails at once.
QString changedText(QWidget *row, const char *name, const QStringList &before, int boundMs)
{
    static_cast<void>(
        QTest::qWaitFor([&] { return !before.contains(labelText(row, name)); }, boundMs));
    return labelText(row, name);
}

// The page a converting row shows once its result is in (succeeded 3, failed 4).
int resultPage(QWidget *row, int boundMs)
{
    static_cast<void>(QTest::qWaitFor([row] { return statePage(row) >= 3; }, boundMs));
    return statePage(row);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Every engine started from now on answers a page count of pages.
void engineCountsPages(int pages)
{
    EngineStandIn::setScript({"state [filepagenum]", "state pagenum=" + QString::number(pages)});
}

// Every engine started from now on is the stand-in that ships beside the program, which
// converts with the machine's own tools.
void runtimeEngineRuns()
{
    EngineStandIn::setScript({"exec " + QStringLiteral(QUORVANE_RUNTIME_ENGINE)});
}

QString missingTool(const QStringList &tools)
{
    for (const QString &tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return tool;
    }
    return QString();
}

// The words of a PDF, as pdftotext reads them.
QString pdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {path, "-"});
    if (!pdftotext.waitForFinished(kToolsBoundMs))
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
}

// A Word document of one paragraph, made as an Office Open XML package by the zip tool; its
// properties say it has one page.
bool writeWordDocument(const QString &path, const QString &paragraph)
{
    QTemporaryDir folder;
    const QList<std::pair<QString, QByteArray>> parts = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas."
         "openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
         "Extension=\"xml\" ContentType=\"application/xml\"/><Override "
         "PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-"
         "officedocument.wordprocessingml.document.main+xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas."
         "openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
         "officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {"word/document.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document xmlns:w=\"http://schemas."
         "openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p><w:r><w:t>" +
             paragraph.toUtf8() + "</w:t></w:r></w:p></w:body></w:document>"},
        {"docProps/app.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Properties><Pages>1</Pages>"
         "</Properties>"},
    };
    for (const auto &[name, content] : parts) {
        QDir().mkpath(QFileInfo(folder.filePath(name)).absolutePath());
        if (!writeAll(folder.filePath(name), content))
            return false;
    }
    QProcess zip;
    zip.setWorkingDirectory(folder.path());
    zip.start("zip", {"-q", "-X", "-r", path, "[Content_Types].xml", "_rels", "word", "docProps"});
    return zip.waitForFinished(kToolsBoundMs) && zip.exitCode() == 0;
}

} // namespace

// The whole program on a real X server: the main window with its pages, the stand-in engine
// as a real child process and the stand-in web service on the loopback interface.
class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!skipReason.empty())
            QSKIP(skipReason.c_str());
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        QVERIFY(m_engine.isValid());
        QVERIFY(EngineStandIn::placeLibraries());
        QVERIFY(m_files.isValid());
        m_output = m_files.filePath("converted");
        QVERIFY(QDir().mkpath(m_output));

        QVERIFY(m_service.startPlain());
        m_service.script("/v1/user/info",
                         {StubServiceServer::json("{\"code\":0,\"data\":{\"nickname\":\"x\"}}")});
        m_service.script("/v1/config", {StubServiceServer::json("{\"qqUrl\":\"\"}")});
        pointServicesAt(m_service);
        QFile::remove(configFilePath());
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);

        m_window = std::make_unique<MainWindow>(nullptr);
        m_window->move(60, 40);
        m_window->show();
        QVERIFY(waitForExposed(m_window.get()));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        EngineStandIn::removeLibraries();
        QVERIFY2(EngineStandIn::allEnginesEnd({xServer}), EngineStandIn::leftRunning);
    }

    void mainWindowIsOnTheScreen()
    {
        // The header's empty middle, read back from the X server's screen.
        auto *head = child<QWidget>(m_window.get(), "HeadWidget");
        const QPoint middle = head->mapToGlobal(QPoint(head->width() / 3, head->height() / 2));
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::primaryScreen()
                                      ->grabWindow(0, middle.x(), middle.y(), 1, 1)
                                      .toImage()
                                      .pixelColor(0, 0),
                                  QColor("#F0F5FF"), kScreenBoundMs);
        QCOMPARE(child<QPushButton>(m_window.get(), "btn_login")->text(), QString("登录"));
    }

    void pdfBecomesText_data()
    {
        QTest::addColumn<bool>("runtimeEngine"); // else the scripted stand-in
        QTest::addColumn<QString>("words");
        QTest::newRow("scripted engine") << false << "Quarterly report";
        QTest::newRow("run-time engine, a real PDF read") << true << "Annual report";
    }

    void pdfBecomesText()
    {
        QFETCH(bool, runtimeEngine);
        QFETCH(QString, words);
        if (runtimeEngine) {
            const QString missing = missingTool({"pdfinfo", "pdftotext"});
            if (!missing.isEmpty())
                QSKIP(qPrintable(missing + " is not installed: the run-time engine cannot "
                                           "read a PDF without it"));
        }
        const QString source = m_files.filePath(words.toLower() + ".pdf");
        QVERIFY(writeAll(source, tinyPdf({words})));
        auto *page = showPage<PdfToFileWidget>(0);
        QVERIFY(page);

        if (runtimeEngine)
            runtimeEngineRuns();
        else
            engineCountsPages(1);
        const int rowsBefore = page->rowCount();
        dropFiles(page, {source});
        QCOMPARE(page->rowCount(), rowsBefore + 1);
        QuorvaneItemWidget *row = page->row(rowsBefore);
        QCOMPARE(changedText(row, "label_InputFilePages", {"读取中"}, kToolsBoundMs),
                 QString("1页"));

        // "txt" is the eleventh entry of the row's own format list.
        auto *formats = child<ConversionFormatDorpDown>(row, "widget_dropdown");
        QTest::mouseClick(formats, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(formats->popup()->isVisible(), kWindowWaitMs);
        QTest::mouseClick(formats->popup()->item(10), Qt::LeftButton);
        QCOMPARE(formats->format(), QString("txt"));

        const QString output = m_output + "/" + words.toLower() + ".txt";
        const int runsBefore = m_engine.runs().size();
        if (!runtimeEngine)
            EngineStandIn::setScript({"state progress=40", m_engine.awaitGate(), "output " + words,
                                      "state progress=90", "state [outputfiles]",
                                      "state filecount=1", "state file_0=" + output, "exit 0"});
        QTest::mouseClick(child<QPushButton>(row, "btn_ConvertReady"), Qt::LeftButton);
        QCOMPARE(statePage(row), 1);
        if (!runtimeEngine) {
            QCOMPARE(
                changedText(row, "label_ConvertProcess", {"0.0%", "0%"}, EngineStandIn::kWaitMs),
                QString("40%"));
            QVERIFY(m_engine.release());
        }
        QCOMPARE(resultPage(row, kToolsBoundMs), 3);
        QCOMPARE(labelText(row, "label_ConvertProcess"), QString("100%"));
        QCOMPARE(row->outputPath(), output);
        QCOMPARE(QString::fromUtf8(readAll(output)).simplified(), words);

        const QList<EngineRun> runs = m_engine.runs().mid(runsBefore);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].arguments.mid(0, 4),
                 QStringList({"", "file2txt", source, QDir::toNativeSeparators(output)}));
        QCOMPARE(QDir(runs[0].workingDirectory).canonicalPath(),
                 QDir(QCoreApplication::applicationDirPath()).canonicalPath());

        OpenedUrls opened;
        QTest::mouseClick(child<QPushButton>(row, "btn_OpenConvertedFile"), Qt::LeftButton);
        QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(output)});
    }

    // The same PDF listed twice, its text file already in the output folder: converting both
    // at once keeps every file, and each row shows and opens its own.
    void sameFileTwiceKeepsEveryFile()
    {
        const QString missing = missingTool({"pdfinfo", "pdftotext"});
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing + " is not installed: the run-time engine cannot read a "
                                       "PDF without it"));
        const QString source = m_files.filePath("notes.pdf");
        QVERIFY(writeAll(source, tinyPdf({"Meeting notes"})));
        QVERIFY(writeAll(m_output + "/notes.txt", "mine"));
        auto *page = showPage<PdfToFileWidget>(0);
        QVERIFY(page);
        runtimeEngineRuns();
        const int rowsBefore = page->rowCount();
        dropFiles(page, {source});
        dropFiles(page, {source});
        QCOMPARE(page->rowCount(), rowsBefore + 2);
        QList<QuorvaneItemWidget *> rows = {page->row(rowsBefore), page->row(rowsBefore + 1)};
        for (QuorvaneItemWidget *row : rows)
            QCOMPARE(changedText(row, "label_InputFilePages", {"读取中"}, kToolsBoundMs),
                     QString("1页"));
        page->ClickAllSettingFormatSlot("txt");

        emit child<ImageWordButton>(page, "imgbtn_allconvert")->ClickButtonSignal();
        QStringList written;
        for (QuorvaneItemWidget *row : rows) {
            QCOMPARE(resultPage(row, kToolsBoundMs), 3);
            const QString name = labelText(row, "label_OutputFileName");
            QCOMPARE(row->outputPath(), m_output + "/" + name + ".txt");
            QCOMPARE(QString::fromUtf8(readAll(row->outputPath())).simplified(),
                     QString("Meeting notes"));
            written << name;
        }
        written.sort();
        QCOMPARE(written, QStringList({"notes(1)", "notes(2)"}));
        QCOMPARE(readAll(m_output + "/notes.txt"), QByteArray("mine"));
    }

    void wordBecomesPdf_data()
    {
        QTest::addColumn<bool>("runtimeEngine"); // else the scripted stand-in
        QTest::addColumn<QString>("name");
        QTest::newRow("scripted engine") << false << "minutes";
        QTest::newRow("run-time engine, through LibreOffice") << true << "agenda";
    }

    void wordBecomesPdf()
    {
        QFETCH(bool, runtimeEngine);
        QFETCH(QString, name);
        const QString words = "Minutes of the meeting";
        const QString source = m_files.filePath(name + ".docx");
        if (runtimeEngine) {
            if (QStandardPaths::findExecutable("soffice").isEmpty())
                QSKIP("LibreOffice (soffice) is not installed: the run-time engine converts no "
                      "Office file without it");
            const QString missing = missingTool({"unzip", "pdftotext", "zip"});
            if (!missing.isEmpty())
                QSKIP(qPrintable(missing + " is not installed"));
            QVERIFY(writeWordDocument(source, words));
        } else {
            QVERIFY(writeAll(source, "PK\x03\x04 not a real document"));
        }
        auto *page = showPage<FilesToPdfWidget>(1);
        QVERIFY(page);

        if (runtimeEngine)
            runtimeEngineRuns();
        else
            engineCountsPages(3);
        const int rowsBefore = page->rowCount();
        dropFiles(page, {source, m_files.filePath("quarterly report.pdf")});
        QCOMPARE(page->rowCount(), rowsBefore + 1);
        ConverterItemWidget *row = page->row(rowsBefore);
        QCOMPARE(changedText(row, "label_InputFilePages", {"读取中"}, kToolsBoundMs),
                 QString(runtimeEngine ? "1页" : "3页"));

        const QString output = m_output + "/" + name + ".pdf";
        const int runsBefore = m_engine.runs().size();
        if (!runtimeEngine)
            EngineStandIn::setScript({"state progress=40", "output %PDF-1.4 converted",
                                      "state [outputfiles]", "state filecount=1",
                                      "state file_0=" + output, "exit 0"});
        QTest::mouseClick(child<QPushButton>(row, "btn_ConvertReady"), Qt::LeftButton);
        // LibreOffice starts afresh for every conversion, with a profile of its own.
        QCOMPARE(resultPage(row, kOfficeBoundMs), 3);
        QCOMPARE(row->outputPath(), output);
        if (runtimeEngine)
            QCOMPARE(pdfText(output), words);
        else
            QVERIFY(readAll(output).startsWith("%PDF-1.4 converted"));

        const QList<EngineRun> runs = m_engine.runs().mid(runsBefore);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].arguments.size(), 17);
        QCOMPARE(runs[0].arguments.mid(0, 7),
                 QStringList({"", "file2pdf", source, QDir::toNativeSeparators(output),
                              runs[0].arguments[4], "", "pdf"}));
    }

private:
    // Switches pages with the navigation button, as the user does.
    template <typename Page> Page *showPage(int index)
    {
        auto *list = child<QListWidget>(m_window.get(), "listWidget_LeftFunction");
        QTest::mouseClick(list->itemWidget(list->item(index)), Qt::LeftButton);
        auto *stack = child<QStackedWidget>(m_window.get(), "stackedWidget");
        return stack->currentIndex() == index ? qobject_cast<Page *>(stack->currentWidget())
                                              : nullptr;
    }

    EngineStandIn m_engine;
    QTemporaryDir m_files;
    QString m_output;
    StubServiceServer m_service;
    std::unique_ptr<MainWindow> m_window;
};

int main(int argc, char **argv)
{
    XvfbDisplay display;
    if (display.start(skipReason)) {
        qputenv("DISPLAY", QByteArray::fromStdString(display.display()));
        xServer = display.pid();
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    EndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_EndToEnd.moc"
