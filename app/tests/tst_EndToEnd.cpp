#include "AccountTestEnvironment.h"
#include "ConversionFormatDorpDown.h"
#include "ConversionFormatListItemWidget.h"
#include "ConversionFormatWidget.h"
#include "ConverterItemWidget.h"
#include "EngineStandIn.h"
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
#include <QScreen>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

std::string skipReason;

const QStringList engineLibraries = {"Aspose.Cells.dll", "Aspose.Pdf.dll", "Aspose.Slides.dll",
                                     "Aspose.Words.dll"};

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

// Every engine started from now on reports progress and writes output with content.
void engineConverts(const QString &output, const QString &content)
{
    EngineStandIn::setScript({"state progress=40", "sleep 600", "output " + content,
                              "state progress=90", "state [outputfiles]", "state filecount=1",
                              "state file_0=" + output, "exit 0"});
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
        for (const QString &library : engineLibraries)
            QVERIFY(writeAll(QCoreApplication::applicationDirPath() + "/" + library, ""));
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
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        for (const QString &library : engineLibraries)
            QFile::remove(QCoreApplication::applicationDirPath() + "/" + library);
        QTRY_COMPARE_WITH_TIMEOUT(EngineStandIn::runningEngines(), 0, 5000);
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
                                  QColor("#F0F5FF"), 5000);
        QCOMPARE(child<QPushButton>(m_window.get(), "btn_login")->text(), QString("登录"));
    }

    void pdfBecomesText()
    {
        const QString source = m_files.filePath("quarterly report.pdf");
        QVERIFY(writeAll(source, tinyPdf({"Quarterly report"})));
        auto *page = showPage<PdfToFileWidget>(0);
        QVERIFY(page);

        engineCountsPages(1);
        dropFiles(page, {source});
        QCOMPARE(page->rowCount(), 1);
        QuorvaneItemWidget *row = page->row(0);
        QTRY_COMPARE_WITH_TIMEOUT(labelText(row, "label_InputFilePages"), QString("1页"), 5000);

        // "txt" is the eleventh entry of the row's own format list.
        auto *formats = child<ConversionFormatDorpDown>(row, "widget_dropdown");
        QTest::mouseClick(formats, Qt::LeftButton);
        QTRY_VERIFY(formats->popup()->isVisible());
        QTest::mouseClick(formats->popup()->item(10), Qt::LeftButton);
        QCOMPARE(formats->format(), QString("txt"));

        const QString output = m_output + "/quarterly report.txt";
        const int runsBefore = m_engine.runs().size();
        engineConverts(output, "Quarterly report");
        QTest::mouseClick(child<QPushButton>(row, "btn_ConvertReady"), Qt::LeftButton);
        QCOMPARE(statePage(row), 1);
        QTRY_COMPARE_WITH_TIMEOUT(labelText(row, "label_ConvertProcess"), QString("40%"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 3, 15000);
        QCOMPARE(labelText(row, "label_ConvertProcess"), QString("100%"));
        QCOMPARE(row->outputPath(), output);
        QCOMPARE(readAll(output).trimmed(), QByteArray("Quarterly report"));

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

    void wordBecomesPdf()
    {
        const QString source = m_files.filePath("minutes.docx");
        QVERIFY(writeAll(source, "PK\x03\x04 not a real document"));
        auto *page = showPage<FilesToPdfWidget>(1);
        QVERIFY(page);

        engineCountsPages(3);
        dropFiles(page, {source, m_files.filePath("quarterly report.pdf")});
        QCOMPARE(page->rowCount(), 1);
        ConverterItemWidget *row = page->row(0);
        QTRY_COMPARE_WITH_TIMEOUT(labelText(row, "label_InputFilePages"), QString("3页"), 5000);

        const QString output = m_output + "/minutes.pdf";
        const int runsBefore = m_engine.runs().size();
        engineConverts(output, "%PDF-1.4 converted");
        QTest::mouseClick(child<QPushButton>(row, "btn_ConvertReady"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 3, 15000);
        QCOMPARE(row->outputPath(), output);
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
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    EndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_EndToEnd.moc"
