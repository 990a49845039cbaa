#include "ConversionFormatDorpDown.h"
#include "ConversionFormatListItemWidget.h"
#include "ConversionFormatWidget.h"
#include "EngineFixture.h"
#include "IniFile.h"
#include "ImageWordButton.h"
#include "MessageBoxDialog.h"
#include "PageKind.h"
#include "RowTestSupport.h"
#include "UserInfoManage.h"
#include "WindowWaits.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QSettings>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace WorkspaceTest;

namespace {

QString localOutput(const QString &folder, const QString &name)
{
    return QDir::toNativeSeparators(folder + "/" + name);
}

QString desktopOutputFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/Quorvane";
}

// Counts the turns of the event loop: a timer without interval fires once in each.
class LoopTurns
{
public:
    LoopTurns()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++m_count; });
        m_timer.start(0);
    }
    int count() const { return m_count; }

private:
    QTimer m_timer;
    int m_count = 0;
};

// A "kind" column with a row for each page.
void addPageRows()
{
    QTest::addColumn<const PageKind *>("kind");
    for (const PageKind *kind : bothPages())
        QTest::newRow(kind->name) << kind;
}

} // namespace

// Both conversion pages and their rows, every flow on each, converting with the stand-in
// engine as a real child process.
class ConversionPagesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        keepServicesOnLoopback();
        // No main window: the pages' confirmations run without parent and overlay.
        QVERIFY(UserInfoManage::instance()->mainWindow() == nullptr);
        QVERIFY(m_engine.prepare());
    }

    void cleanupTestCase() { m_engine.removeLibraries(); }

    void init()
    {
        clearSettings();
        m_files.reset(new QTemporaryDir);
        m_output = m_files->filePath("out");
        EngineFixture::answerPageCount("12");
        QVERIFY(m_files->isValid() && QDir().mkpath(m_output));
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
    }

    // The page goes, and with it every engine it started.
    void cleanup()
    {
        m_page.reset();
        QVERIFY2(EngineFixture::allEnginesEnd(), EngineStandIn::leftRunning);
    }

    void outputFolderAtStart_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<bool>("stored");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, none stored: the desktop folder", kind->name) << kind << false;
            QTest::addRow("%s, stored one shown unchanged", kind->name) << kind << true;
        }
    }

    void outputFolderAtStart()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(bool, stored);
        QDir(desktopOutputFolder()).removeRecursively();
        const QString missing = m_files->filePath("missing");
        clearSettings();
        if (stored)
            writeConfigValue("convert", "FileConvertOutPutDir", missing);

        openPage(kind);
        const QString expected = stored ? missing : desktopOutputFolder();
        QCOMPARE(child<QLineEdit>(page(), "lineEdit_OutPutDir")->text(), expected);
        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), expected);
        QCOMPARE(QFileInfo(desktopOutputFolder()).isDir(), !stored);
        QVERIFY(!QFileInfo::exists(missing));

        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(page(), "imgbtn_allconvert")->isHidden());
        QCOMPARE(child<ImageWordButton>(page(), "imgbtn_allconvert")->text(), QString("全部转换"));
        if (kind->hasFormats)
            QVERIFY(child<QWidget>(page(), "imgbtn_allsets")->isHidden());
        else
            QVERIFY(!child<QWidget>(page(), "imgbtn_allsets"));

        // A folder that is not there opens nothing.
        OpenedUrls opened;
        QDir(desktopOutputFolder()).removeRecursively();
        child<QPushButton>(page(), "btn_OpenOutPutDir")->click();
        QVERIFY(opened.urls.isEmpty());

        // The other page may change the shared folder; switching here shows it.
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
        kind->refreshOutputDir(page());
        QCOMPARE(child<QLineEdit>(page(), "lineEdit_OutPutDir")->text(), m_output);
    }

    void outputFolderShownIsUsedWhenSettingsCannotBeStored_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<bool>("full");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, a folder in the file's place", kind->name) << kind << false;
            QTest::addRow("%s, the file at its bound", kind->name) << kind << true;
        }
    }

    // Nothing can be stored, or the default folder is refused: the folder the page shows is
    // still the one a row writes into, never the root of the file system.
    void outputFolderShownIsUsedWhenSettingsCannotBeStored()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(bool, full);
        clearSettings();
        QDir(desktopOutputFolder()).removeRecursively();
        if (full)
            fillSettingsToTheBound();
        else
            QVERIFY(QDir().mkpath(configFilePath())); // a folder in the settings file's place
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        QCOMPARE(child<QLineEdit>(page(), "lineEdit_OutPutDir")->text(), desktopOutputFolder());
        kind->refreshOutputDir(page());
        QCOMPARE(child<QLineEdit>(page(), "lineEdit_OutPutDir")->text(), desktopOutputFolder());

        const QString output = "a" + kind->outputSuffix;
        EngineFixture::succeedWith(desktopOutputFolder() + "/" + output);
        const int runs = m_engine.conversions().size();
        kind->startConversion(row);
        QCOMPARE(m_engine.conversionsOnceAtLeast(runs + 1), runs + 1);
        QCOMPARE(m_engine.conversions().last().arguments.value(3),
                 localOutput(desktopOutputFolder(), output));
        QCOMPARE(resultPage(row), 3);
        QCOMPARE(kind->outputPath(row), desktopOutputFolder() + "/" + output);
    }

    void droppedTreeBecomesRows_data() { addPageRows(); }

    // Folders are searched at any depth for the files the page takes, hidden ones left out.
    void droppedTreeBecomesRows()
    {
        QFETCH(const PageKind *, kind);
        const QString tree = m_files->filePath("tree");
        for (const char *name :
             {"a.pdf", "B.PDF", "notes.txt", "copy.pdf.bak", "noext", ".hidden.pdf", "sub/d.Pdf",
              "sub/deeper/e.pdf", ".dir/f.pdf", "a.DOCX", "b.xls", "c.docx.bak", ".hidden.doc",
              "sub/e.PptX", "sub/deep/f.xlsx", "sub/g.ppt", "h.XLSX"})
            QVERIFY(writeFile(tree + "/" + name));
        const QString single = m_files->filePath("single." + kind->sourceSuffix);
        const QString other = m_files->filePath("other." + kind->otherSuffix);
        QVERIFY(writeFile(single));
        QVERIFY(writeFile(other));

        openPage(kind);
        dropUrls(page(), {});
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 0);
        dropUrls(page(), {QUrl::fromLocalFile(tree), QUrl::fromLocalFile(single),
                          QUrl::fromLocalFile(other)});

        const QStringList fromTree =
            kind->hasFormats ? QStringList{"a.pdf", "B.PDF", "sub/d.Pdf", "sub/deeper/e.pdf"}
                             : QStringList{"a.DOCX",          "b.xls",     "sub/e.PptX",
                                           "sub/deep/f.xlsx", "sub/g.ppt", "h.XLSX"};
        waitUntil([&] { return kind->rowCount(page()) >= fromTree.size() + 1; });
        QCOMPARE(kind->rowCount(page()), fromTree.size() + 1);
        QStringList listed, expected;
        for (int i = 0; i < fromTree.size(); ++i) {
            listed << kind->filePath(kind->row(page(), i));
            expected << QDir(tree).filePath(fromTree.at(i));
        }
        listed.sort();
        expected.sort();
        QCOMPARE(listed, expected);
        QCOMPARE(kind->filePath(kind->row(page(), fromTree.size())), single);
        for (int i = 0; i <= fromTree.size(); ++i) {
            QCOMPARE(kind->taskId(kind->row(page(), i)), i);
            QCOMPARE(shownPageCount(kind->row(page(), i)), QString("12页"));
        }
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 1);
        QVERIFY(!child<QWidget>(page(), "imgbtn_allconvert")->isHidden());
        if (kind->hasFormats)
            QVERIFY(!child<QWidget>(page(), "imgbtn_allsets")->isHidden());

        // The same file dropped again is listed again, with a new id.
        dropUrls(page(), {QUrl::fromLocalFile(single)});
        waitUntil([&] { return kind->rowCount(page()) >= fromTree.size() + 2; });
        QCOMPARE(kind->rowCount(page()), fromTree.size() + 2);
        QCOMPARE(kind->taskId(kind->row(page(), fromTree.size() + 1)), fromTree.size() + 1);
    }

    void dropOfOtherFilesLeavesThePageEmpty_data() { addPageRows(); }

    void dropOfOtherFilesLeavesThePageEmpty()
    {
        QFETCH(const PageKind *, kind);
        const QString other = m_files->filePath("other." + kind->otherSuffix);
        QVERIFY(writeFile(other));
        openPage(kind);
        dropUrls(page(), {QUrl::fromLocalFile(other), QUrl::fromLocalFile(m_files->filePath("x"))});
        QCOMPARE(kind->rowCount(page()), 0);
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(page(), "imgbtn_allconvert")->isHidden());
    }

    void rowShowsItsFile_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon"); // "" for none
        QTest::addColumn<QString>("pageAnswer");
        QTest::addColumn<QString>("pageLabel");
        const PageKind *pdf = pdfToFilePage();
        const PageKind *files = filesToPdfPage();
        const QString pdfIcon = "icon_pdf_to_file_pdf.png";
        const QString excelIcon = "icon_file_to_pdf_excel.png";
        const QString wordIcon = "icon_file_to_pdf_word.png";
        const QString powerPointIcon = "icon_file_to_pdf_ppt.png";
        QTest::newRow("PDF to file, capital PDF") << pdf << "report.PDF" << pdfIcon << "3"
                                                  << "3页";
        QTest::newRow("PDF to file, unknown count") << pdf << "a.pdf" << pdfIcon << "-1"
                                                    << "未知";
        QTest::newRow("PDF to file, no count") << pdf << "b.pdf" << pdfIcon << ""
                                               << "全部页";
        QTest::newRow("PDF to file, excel first") << pdf << "x.xlsx" << excelIcon << "1"
                                                  << "1页";
        QTest::newRow("PDF to file, word") << pdf << "x.doc" << wordIcon << "1"
                                           << "1页";
        QTest::newRow("PDF to file, powerpoint") << pdf << "x.pptx" << powerPointIcon << "1"
                                                 << "1页";
        QTest::newRow("PDF to file, no icon") << pdf << "x.txt"
                                              << ""
                                              << "1"
                                              << "1页";
        QTest::newRow("file to PDF, capital XLSX") << files << "sheet.XLSX" << excelIcon << "2"
                                                   << "2页";
        QTest::newRow("file to PDF, word") << files << "letter.docx" << wordIcon << "-1"
                                           << "未知";
        QTest::newRow("file to PDF, powerpoint") << files << "slides.pptx" << powerPointIcon << ""
                                                 << "全部页";
        QTest::newRow("file to PDF, no PDF icon here") << files << "paper.pdf"
                                                       << ""
                                                       << "1"
                                                       << "1页";
    }

    void rowShowsItsFile()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, name);
        QFETCH(QString, icon);
        QFETCH(QString, pageAnswer);
        QFETCH(QString, pageLabel);
        const QString path = m_files->filePath(name);
        QVERIFY(writeFile(path, QByteArray(1536, 'x')));
        EngineStandIn::setScript(pageAnswer.isEmpty() ? QStringList{}
                                                      : QStringList{"state [filepagenum]",
                                                                    "state pagenum=" + pageAnswer});
        const std::unique_ptr<QWidget> row = kind->makeRow();
        kind->setFilePath(row.get(), path);
        const QString styleSheet = child<QWidget>(row.get(), "widget_FileIcon")->styleSheet();
        QCOMPARE(styleSheet.isEmpty(), icon.isEmpty());
        QVERIFY(styleSheet.contains(icon));
        QCOMPARE(labelText(row.get(), "label_InputFileFormat"), QFileInfo(name).suffix());
        QCOMPARE(labelText(row.get(), "label_FileSize"), QString("1.50KB"));
        QCOMPARE(labelText(row.get(), "label_InputFilePages"), QString("读取中"));
        QCOMPARE(shownPageCount(row.get()), pageLabel);
        if (kind->hasFormats)
            QCOMPARE(kind->rowOutputSuffix(row.get()), QString(".docx"));
        else
            QCOMPARE(labelText(row.get(), "label_OutFileFormat"), QString("pdf"));
        QCOMPARE(labelText(row.get(), "label_OutputFileName"), QFileInfo(name).completeBaseName());
    }

    void longNamesAreElidedButKept_data() { addPageRows(); }

    void longNamesAreElidedButKept()
    {
        QFETCH(const PageKind *, kind);
        const QString name = QString("很长的文件名").repeated(10);
        const QString path = m_files->filePath(name + "." + kind->sourceSuffix);
        QVERIFY(writeFile(path));
        const std::unique_ptr<QWidget> row = kind->makeRow();
        kind->setFilePath(row.get(), path);
        for (const char *label : {"label_InputFileName", "label_OutputFileName"}) {
            QVERIFY(labelText(row.get(), label).endsWith(QChar(0x2026)));
            QVERIFY(labelText(row.get(), label).size() < name.size());
        }
        QCOMPARE(child<QLineEdit>(row.get(), "lineEdit_EditName")->text(), name);
    }

    void roadOfConversions_data() { addPageRows(); }

    // Rows are renamed, given formats (where the page has them) and started, one on its own
    // and the rest all at once; each shows its progress and its result, and opens it.
    void roadOfConversions()
    {
        QFETCH(const PageKind *, kind);
        openPage(kind);
        QList<QUrl> urls;
        for (const char *name : {"a", "b", "c", "d"}) {
            const QString source = m_files->filePath(name + ("." + kind->sourceSuffix));
            QVERIFY(writeFile(source));
            urls << QUrl::fromLocalFile(source);
        }
        dropUrls(page(), urls);
        waitUntil([&] { return kind->rowCount(page()) >= 4; });
        QCOMPARE(kind->rowCount(page()), 4);
        QWidget *first = kind->row(page(), 0), *second = kind->row(page(), 1),
                *third = kind->row(page(), 2), *fourth = kind->row(page(), 3);
        QVERIFY(pageCountsDone(kind));

        // The second row's output gets a new name; it is taken when the editor loses focus.
        child<QPushButton>(second, "btn_ChangeOutputFileName")->click();
        QCOMPARE(child<QStackedWidget>(second, "stackedWidget_Edit")->currentIndex(), 1);
        child<QLineEdit>(second, "lineEdit_EditName")->setText("renamed");
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(child<QLineEdit>(second, "lineEdit_EditName"), &focusOut);
        QCOMPARE(child<QStackedWidget>(second, "stackedWidget_Edit")->currentIndex(), 0);
        QCOMPARE(labelText(second, "label_OutputFileName"), QString("renamed"));
        // An emptied name still converts, to the folder's bare suffix.
        child<QLineEdit>(fourth, "lineEdit_EditName")->setText("");

        const int before = m_engine.conversions().size();
        auto *pdfPage = qobject_cast<PdfToFileWidget *>(page());
        if (pdfPage)
            pdfPage->ClickAllSettingFormatSlot("png");
        const QString result = m_output + "/c." + (pdfPage ? "png" : "pdf"); // the third row's
        EngineFixture::succeedWith("{output}", 37, m_engine.awaitGate());
        child<QPushButton>(third, "btn_ConvertReady")->click();
        QCOMPARE(statePage(third), 1);
        QVERIFY(child<QWidget>(third, "btn_ChangeOutputFileName")->isHidden());

        QMap<QString, QStringList> expected; // source name: kind, output, argument count
        if (pdfPage) {
            QVERIFY(!child<QWidget>(third, "widget_dropdown")->isEnabled());
            // Set-all passes a converting row by; a row chooses its own format in its popup.
            pdfPage->ClickAllSettingFormatSlot("txt");
            pdfPage->ClickAllSettingFormatSlot("");
            auto *dropDown = child<ConversionFormatDorpDown>(first, "widget_dropdown");
            QTest::mouseClick(dropDown, Qt::LeftButton);
            QTest::mouseClick(dropDown->popup()->item(2), Qt::LeftButton);
            expected["a"] = QStringList{"file2excel", "a.xlsx", "13"};
            expected["b"] = QStringList{"file2txt", "renamed.txt", "10"};
            expected["c"] = QStringList{"file2img", "c.png", "12"};
            expected["d"] = QStringList{"file2txt", ".txt", "10"};
        } else {
            expected["a"] = QStringList{"file2pdf", "a.pdf", "17"};
            expected["b"] = QStringList{"file2pdf", "renamed.pdf", "17"};
            expected["c"] = QStringList{"file2pdf", "c.pdf", "17"};
            expected["d"] = QStringList{"file2pdf", ".pdf", "17"};
        }
        const QList<QWidget *> rows = {first, second, third, fourth};
        for (int i = 0; i < rows.size(); ++i) {
            const QString output = expected.value(QString(QChar('a' + i))).at(1);
            QCOMPARE(kind->rowOutputSuffix(rows[i]), output.mid(output.lastIndexOf('.')));
        }

        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        QCOMPARE(m_engine.conversionsOnceAtLeast(before + 4), before + 4);
        QMap<QString, QStringList> bySource;
        for (const EngineRun &run : m_engine.conversions().mid(before)) {
            bySource[QFileInfo(run.arguments.value(2)).completeBaseName()] = run.arguments;
            QCOMPARE(QDir(run.workingDirectory).canonicalPath(),
                     QDir(applicationDir()).canonicalPath());
        }
        for (auto row = expected.begin(); row != expected.end(); ++row) {
            const QStringList arguments = bySource.value(row.key());
            const QString source = m_files->filePath(row.key() + "." + kind->sourceSuffix);
            QCOMPARE(arguments.mid(0, 4), QStringList({"", row.value().at(0), source,
                                                       localOutput(m_output, row.value().at(1))}));
            QCOMPARE(arguments.size(), row.value().at(2).toInt());
        }
        if (pdfPage)
            QCOMPARE(bySource.value("c").mid(5), QStringList({"", "png", "", "", "", "576", "3"}));
        else
            QCOMPARE(bySource.value("a").mid(5),
                     QStringList({"", "pdf", "", "", "", "", "", "1", "0", "0", "0", "0"}));

        // Held by the engine, every row shows the progress it reported.
        for (QWidget *row : rows) {
            QVERIFY(QTest::qWaitFor([row] { return fill(row) != 0; }, kWaitMs));
            QCOMPARE(labelText(row, "label_ConvertProcess"), QString("37%"));
            QCOMPARE(fill(row), 37 * 50);
        }
        QVERIFY(m_engine.release());
        for (QWidget *row : rows) {
            QCOMPARE(resultPage(row), 3);
            QCOMPARE(labelText(row, "label_ConvertProcess"), QString("100%"));
            QCOMPARE(fill(row), 0);
            QVERIFY(!child<QWidget>(row, "btn_ChangeOutputFileName")->isHidden());
            if (pdfPage)
                QVERIFY(!child<QWidget>(row, "widget_dropdown")->isEnabled());
        }

        // Finished rows are not started again, by convert-all or by anyone.
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        kind->startConversion(third);
        QTest::qWait(300);
        QCOMPARE(m_engine.conversions().size(), before + 4);

        OpenedUrls opened;
        child<QPushButton>(third, "btn_OpenConvertedFile")->click();
        child<QPushButton>(third, "btn_OpenConvertedFolder")->click();
        child<QPushButton>(third, "btn_openSourceFile")->click();
        QCOMPARE(opened.urls,
                 QList<QUrl>({QUrl::fromLocalFile(result), QUrl::fromLocalFile(m_output),
                              QUrl::fromLocalFile(m_files->filePath("c." + kind->sourceSuffix))}));
    }

    void progressFillsTheRow_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("fill"); // of 5000
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, 1 %%", kind->name) << kind << 1 << 50;
            QTest::addRow("%s, 37 %%", kind->name) << kind << 37 << 1850;
            QTest::addRow("%s, 100 %%", kind->name) << kind << 100 << 5000;
        }
    }

    void progressFillsTheRow()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(int, percent);
        QFETCH(int, fill);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        EngineFixture::runUntilStopped();
        kind->startConversion(row);
        QVERIFY(QMetaObject::invokeMethod(row, "ProcessStateSlot", Q_ARG(int, percent)));
        QCOMPARE(WorkspaceTest::fill(row), fill);
        QCOMPARE(labelText(row, "label_ConvertProcess"), QString("%1%").arg(percent));
    }

    void resultIsHeldFor600Milliseconds_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<bool>("succeeds");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, success", kind->name) << kind << true;
            QTest::addRow("%s, failure", kind->name) << kind << false;
        }
    }

    void resultIsHeldFor600Milliseconds()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(bool, succeeds);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        if (succeeds)
            EngineFixture::succeedWith(m_output + "/a" + kind->outputSuffix, 60, "sleep 300");
        else
            EngineFixture::failAfter(300);
        kind->startConversion(row);
        // Timed from before the result came, however late this test looked.
        QElapsedTimer held;
        QVERIFY(waitForResult(row, &held));
        QCOMPARE(statePage(row), 1);
        // A poll that comes after the result must not pull the fill back.
        QVERIFY(QMetaObject::invokeMethod(row, "ProcessStateSlot", Q_ARG(int, 40)));
        QCOMPARE(fill(row), 5000);
        QVERIFY(labelText(row, "label_ConvertProcess") != QString("40%"));
        QVERIFY(QTest::qWaitFor([row] { return statePage(row) != 1; }, kWaitMs));
        QVERIFY2(held.elapsed() >= 500, qPrintable(QString::number(held.elapsed())));
        QCOMPARE(statePage(row), succeeds ? 3 : 4);
        QCOMPARE(labelText(row, "label_ConvertProcess"), QString("100%"));
        QCOMPARE(fill(row), 0);
    }

    void failureAndRetry_data() { addPageRows(); }

    void failureAndRetry()
    {
        QFETCH(const PageKind *, kind);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        EngineFixture::failAfter(0);
        kind->startConversion(row);
        QCOMPARE(resultPage(row), 4);
        QCOMPARE(labelText(row, "label_ConvertFailed"), QString("失败"));
        QVERIFY(kind->outputPath(row).isEmpty());

        // Failed is final for convert-all and for a start from outside.
        const int runs = m_engine.conversions().size();
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        kind->startConversion(row);
        QCOMPARE(statePage(row), 4);
        QString retried = kind->conversionKind;
        QString output = m_output + "/a" + kind->outputSuffix;
        if (auto *pdfPage = qobject_cast<PdfToFileWidget *>(page())) {
            // The format may still change.
            QVERIFY(child<QWidget>(row, "widget_dropdown")->isEnabled());
            pdfPage->ClickAllSettingFormatSlot("html");
            QCOMPARE(kind->rowOutputSuffix(row), QString(".html"));
            retried = "file2html";
            output = m_output + "/a.html";
        }
        QTest::qWait(200);
        QCOMPARE(m_engine.conversions().size(), runs);

        // The row's own retry starts it afresh.
        EngineFixture::succeedWith(output);
        child<QPushButton>(row, "btn_ConvertRetry")->click();
        QCOMPARE(resultPage(row), 3);
        QCOMPARE(m_engine.conversions().size(), runs + 1);
        QCOMPARE(m_engine.conversions().last().arguments.value(1), retried);
        QCOMPARE(kind->outputPath(row), output);
    }

    void endingAConversionKillsTheEngine_data() { addPageRows(); }

    void endingAConversionKillsTheEngine()
    {
        QFETCH(const PageKind *, kind);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        EngineFixture::runUntilStopped();
        child<QPushButton>(row, "btn_ConvertReady")->click();
        QCOMPARE(EngineFixture::runningOnceAtLeast(1), 1);
        QVERIFY(child<QWidget>(row, "btn_ChangeOutputFileName")->isHidden());

        child<QPushButton>(row, "btn_ConvertEnd_Converting")->click();
        QVERIFY2(EngineFixture::allEnginesEnd(), EngineStandIn::leftRunning);
        QCOMPARE(statePage(row), 0);
        QCOMPARE(fill(row), 0);
        QVERIFY(!child<QWidget>(row, "btn_ChangeOutputFileName")->isHidden());
        if (kind->hasFormats)
            QVERIFY(child<QWidget>(row, "widget_dropdown")->isEnabled());

        const int runs = m_engine.conversions().size();
        kind->startConversion(row);
        QCOMPARE(m_engine.conversionsOnceAtLeast(runs + 1), runs + 1);
        QCOMPARE(statePage(row), 1);
        // Going away with the page must not leave the engine running (see cleanup).
    }

    void restartDuringTheHoldDropsTheOldResult_data() { addPageRows(); }

    void restartDuringTheHoldDropsTheOldResult()
    {
        QFETCH(const PageKind *, kind);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        EngineFixture::succeedWith(m_output + "/a" + kind->outputSuffix, 50);
        kind->startConversion(row);
        QVERIFY(waitForResult(row));
        HoldOver oldHold;
        QCOMPARE(statePage(row), 1);
        child<QPushButton>(row, "btn_ConvertEnd_Converting")->click();
        QCOMPARE(statePage(row), 0);

        // Started again at once: the old result's hold must neither show it nor end the
        // new engine when its 600 ms are up.
        EngineFixture::runUntilStopped();
        kind->startConversion(row);
        QCOMPARE(EngineFixture::runningOnceAtLeast(1), 1);
        QVERIFY(oldHold.wait());
        QCOMPARE(statePage(row), 1);
        QCOMPARE(EngineFixture::runningEngines(), 1);
    }

    void existingFilesAreNeverReplaced_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("format");    // empty: the page's own
        QTest::addColumn<QStringList>("there"); // names in the output folder
        QTest::addColumn<QString>("written");   // the name the row writes under
        for (const PageKind *kind : bothPages()) {
            const QString output = kind->outputSuffix;
            QTest::addRow("%s, the file there", kind->name)
                << kind << QString() << QStringList{"a" + output} << "a(1)";
            QTest::addRow("%s, the next name there too", kind->name)
                << kind << QString() << QStringList{"a" + output, "a(1)" + output} << "a(2)";
            QTest::addRow("%s, a link to nowhere there", kind->name)
                << kind << QString() << QStringList{"link:a" + output} << "a(1)";
            QTest::addRow("%s, a file of another format there", kind->name)
                << kind << QString() << QStringList{"a.txt"} << "a";
        }
        QTest::addRow("PDF to file, the picture of a page there")
            << pdfToFilePage() << "png" << QStringList{"a-1.png"} << "a(1)";
    }

    // A result never replaces a file its conversion did not make: the row writes under the
    // first free name beside the wanted one, and shows it.
    void existingFilesAreNeverReplaced()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, format);
        QFETCH(QStringList, there);
        QFETCH(QString, written);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        QString suffix = kind->outputSuffix;
        if (!format.isEmpty()) {
            qobject_cast<PdfToFileWidget *>(page())->ClickAllSettingFormatSlot(format);
            suffix = "." + format;
        }
        const QString nowhere = m_files->filePath("nowhere");
        for (const QString &name : there) {
            if (name.startsWith("link:"))
                QVERIFY(QFile::link(nowhere, m_output + "/" + name.mid(5)));
            else
                QVERIFY(writeFile(m_output + "/" + name, "mine"));
        }

        const QString output = m_output + "/" + written + suffix;
        EngineFixture::succeedWith(output);
        const int runs = m_engine.conversions().size();
        kind->startConversion(row);
        QCOMPARE(labelText(row, "label_OutputFileName"), written);
        QCOMPARE(resultPage(row), 3);
        QCOMPARE(m_engine.conversions().size(), runs + 1);
        QCOMPARE(m_engine.conversions().last().arguments.value(3),
                 localOutput(m_output, written + suffix));
        QCOMPARE(kind->outputPath(row), output);
        for (const QString &name : there) {
            if (!name.startsWith("link:"))
                QCOMPARE(readFile(m_output + "/" + name), QByteArray("mine"));
        }
        QVERIFY(!QFileInfo::exists(nowhere));
    }

    void rowsStartedTogetherTakeDifferentNames_data() { addPageRows(); }

    // Neither of two rows of one file has written its result when the other starts: the
    // name the first takes is reserved until its conversion ends, and free again after a
    // failure, which leaves no file.
    void rowsStartedTogetherTakeDifferentNames()
    {
        QFETCH(const PageKind *, kind);
        QVERIFY(addRows(kind, {"a", "a"}));
        const QString suffix = kind->outputSuffix;
        QVERIFY(writeFile(m_output + "/a" + suffix, "mine"));
        EngineStandIn::setScript({m_engine.awaitGate(), "exit 1"});
        const int runs = m_engine.conversions().size();
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        QCOMPARE(m_engine.conversionsOnceAtLeast(runs + 2), runs + 2);
        QStringList asked;
        for (const EngineRun &run : m_engine.conversions().mid(runs))
            asked << run.arguments.value(3);
        std::sort(asked.begin(), asked.end());
        QCOMPARE(asked, QStringList({localOutput(m_output, "a(1)" + suffix),
                                     localOutput(m_output, "a(2)" + suffix)}));
        QWidget *first = kind->row(page(), 0), *second = kind->row(page(), 1);
        QCOMPARE(QSet<QString>({labelText(first, "label_OutputFileName"),
                                labelText(second, "label_OutputFileName")}),
                 QSet<QString>({"a(1)", "a(2)"}));

        QVERIFY(m_engine.release());
        QCOMPARE(resultPage(first), 4);
        QCOMPARE(resultPage(second), 4);
        child<QPushButton>(second, "btn_ConvertRetry")->click();
        QCOMPARE(m_engine.conversionsOnceAtLeast(runs + 3), runs + 3);
        QCOMPARE(m_engine.conversions().last().arguments.value(3),
                 localOutput(m_output, "a(1)" + suffix));
        QCOMPARE(readFile(m_output + "/a" + suffix), QByteArray("mine"));
    }

    void convertAllStartsRowsOverSeveralTurns_data() { addPageRows(); }

    // A row's start builds its form and its job: "全部转换" starts a few rows in each turn of
    // the event loop, so that the window answers while a long list starts. It starts every
    // row listed when it was pressed, and no row listed after.
    void convertAllStartsRowsOverSeveralTurns()
    {
        QFETCH(const PageKind *, kind);
        constexpr int rows = 100;
        QStringList names;
        for (int i = 0; i < rows; ++i)
            names << QString("r%1").arg(i);
        QVERIFY(addRows(kind, names));
        const QString late = m_files->filePath("late." + kind->sourceSuffix);
        QVERIFY(writeFile(late));
        EngineFixture::runUntilStopped();
        const int runs = m_engine.conversions().size();

        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        const int startedInThePress = convertingRows(kind);
        kind->addRow(page(), late);
        QVERIFY2(startedInThePress < rows, qPrintable(QString::number(startedInThePress)));
        QVERIFY(QTest::qWaitFor([&] { return convertingRows(kind) == rows; }, kWaitMs));
        QCOMPARE(m_engine.conversionsOnceAtLeast(runs + rows), runs + rows);
        QCOMPARE(statePage(kind->row(page(), rows)), int(RowPresentation::ReadyPage));
        QCOMPARE(m_engine.conversions().size(), runs + rows);
    }

    void goneSourceFailsAtOnce_data() { addPageRows(); }

    // A file deleted after it was listed fails when the row starts, without an engine.
    void goneSourceFailsAtOnce()
    {
        QFETCH(const PageKind *, kind);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        QVERIFY(QFile::remove(m_files->filePath("a." + kind->sourceSuffix)));
        EngineFixture::succeedWith(m_output + "/a" + kind->outputSuffix);
        const int runs = m_engine.conversions().size();
        child<QPushButton>(row, "btn_ConvertReady")->click();
        QCOMPARE(statePage(row), 4);
        QCOMPARE(labelText(row, "label_ConvertFailed"), QString("失败"));
        child<QPushButton>(row, "btn_ConvertRetry")->click();
        QCOMPARE(statePage(row), 4);
        QVERIFY(kind->outputPath(row).isEmpty());
        if (kind->hasFormats)
            QVERIFY(child<QWidget>(row, "widget_dropdown")->isEnabled());
        QTest::qWait(300);
        QCOMPARE(m_engine.conversions().size(), runs);
        QVERIFY(!QFileInfo::exists(m_output + "/a" + kind->outputSuffix));
    }

    void failedOpeningIsShown_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("question");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, the result", kind->name) << kind << "btn_OpenConvertedFile"
                                                        << "无法打开文件";
            QTest::addRow("%s, the result's folder", kind->name)
                << kind << "btn_OpenConvertedFolder"
                << "无法打开文件夹";
            QTest::addRow("%s, the source", kind->name) << kind << "btn_openSourceFile"
                                                        << "无法打开文件";
            QTest::addRow("%s, the output folder", kind->name) << kind << "btn_OpenOutPutDir"
                                                               << "无法打开文件夹";
        }
    }

    // The test's desktop can open nothing (the offscreen platform has no way to): each open
    // button says so in the message box, naming what it could not open.
    void failedOpeningIsShown()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, button);
        QFETCH(QString, question);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        const QString output = m_output + "/a" + kind->outputSuffix;
        EngineFixture::succeedWith(output);
        kind->startConversion(row);
        QCOMPARE(resultPage(row), 3);
        const QMap<QString, QString> opened = {
            {"btn_OpenConvertedFile", output},
            {"btn_OpenConvertedFolder", m_output},
            {"btn_openSourceFile", m_files->filePath("a." + kind->sourceSuffix)},
            {"btn_OpenOutPutDir", m_output}};

        QString shownQuestion, shownTips;
        bool okAlone = false;
        onNextModal([&](QWidget *modal) {
            shownQuestion = child<QLabel>(modal, "label")->text();
            shownTips = child<QLabel>(modal, "label_tips")->text();
            okAlone = child<QPushButton>(modal, "btn_ok")->isVisible() &&
                      !child<QPushButton>(modal, "btn_cancel")->isVisible();
            pressButton(modal, "btn_ok");
        });
        auto *pressed = child<QPushButton>(row, qPrintable(button));
        if (!pressed)
            pressed = child<QPushButton>(page(), qPrintable(button));
        QVERIFY(pressed);
        pressed->click();
        QCOMPARE(shownQuestion, question);
        QVERIFY2(shownTips.endsWith(QFileInfo(opened.value(button)).fileName()),
                 qPrintable(shownTips));
        QVERIFY2(okAlone, "a notice has 确定 alone");
    }

    void pageCountEngineGoesWithItsRow_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("how");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, page goes away", kind->name) << kind << "page";
            QTest::addRow("%s, row deleted", kind->name) << kind << "delete";
            QTest::addRow("%s, list cleared", kind->name) << kind << "clear";
        }
    }

    void pageCountEngineGoesWithItsRow()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, how);
        EngineFixture::runUntilStopped(); // the page count never answers
        openPage(kind);
        const QString source = m_files->filePath("a." + kind->sourceSuffix);
        QVERIFY(writeFile(source));
        kind->addRow(page(), source);
        kind->setPage(page(), 1);
        QCOMPARE(EngineFixture::runningOnceAtLeast(1), 1);
        QCOMPARE(labelText(kind->row(page(), 0), "label_InputFilePages"), QString("读取中"));

        if (how == "page") {
            m_page.reset();
        } else {
            pressInNextModal("btn_ok");
            if (how == "delete")
                press(kind->row(page(), 0), "btn_DeleteItemReady");
            else
                emit child<ImageWordButton>(page(), "imgbutton_ClearList")->ClickButtonSignal();
            QCOMPARE(kind->rowCount(page()), 0);
        }
        QVERIFY2(EngineFixture::allEnginesEnd(), EngineStandIn::leftRunning);
        QVERIFY(QFile::exists(source));
    }

    void progressOutsideAConversionIsIgnored_data() { addPageRows(); }

    void progressOutsideAConversionIsIgnored()
    {
        QFETCH(const PageKind *, kind);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        QVERIFY(QMetaObject::invokeMethod(row, "ProcessStateSlot", Q_ARG(int, 50)));
        QVERIFY(QMetaObject::invokeMethod(row, "ProcessResultSlot", Q_ARG(bool, true),
                                          Q_ARG(QString, m_output + "/x" + kind->outputSuffix)));
        QVERIFY(HoldOver().wait());
        QCOMPARE(statePage(row), 0);
        QCOMPARE(labelText(row, "label_ConvertProcess"), QString("0.0%"));
        QCOMPARE(fill(row), 0);
        QVERIFY(kind->outputPath(row).isEmpty());
    }

    // A folder of thousands of files is listed a slice at a time: the event loop runs between
    // slices, every row gets its count, a set-all format reaches rows not yet in view, and
    // the list clears at once.
    void largeFolderIsListedWithoutFreezing()
    {
        const int files = 1000;
        const QString folder = m_files->filePath("many");
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < files; ++i)
            QVERIFY(QFile(QString("%1/%2.pdf").arg(folder).arg(i, 4, 10, QChar('0')))
                        .open(QIODevice::WriteOnly));
        auto *pdfPage = new PdfToFileWidget;
        m_page.reset(pdfPage);
        pdfPage->resize(1000, 640);
        pdfPage->show();

        int listedWhenTheLoopRan = -1;
        QTimer::singleShot(0, this, [&] { listedWhenTheLoopRan = pdfPage->rowCount(); });
        dropUrls(pdfPage, {QUrl::fromLocalFile(folder)});
        QTRY_VERIFY_WITH_TIMEOUT(listedWhenTheLoopRan >= 0, kWindowWaitMs);
        QVERIFY2(listedWhenTheLoopRan > 0 && listedWhenTheLoopRan < files,
                 qPrintable(QString::number(listedWhenTheLoopRan)));
        QCOMPARE(child<QStackedWidget>(pdfPage, "stackedWidget")->currentIndex(), 1);

        QVERIFY(QTest::qWaitFor([&] { return pdfPage->rowCount() >= files; }, kWaitMs));
        QCOMPARE(pdfPage->rowCount(), files);
        const QList<QuorvaneItemWidget *> rows = pdfPage->findChildren<QuorvaneItemWidget *>();
        QCOMPARE(rows.size(), files);
        QVERIFY(QTest::qWaitFor(
            [&] {
                return std::all_of(rows.begin(), rows.end(), [](QuorvaneItemWidget *row) {
                    return row->pageCountText() == "12页";
                });
            },
            5 * kWaitMs));

        pdfPage->ClickAllSettingFormatSlot("txt");
        QuorvaneItemWidget *last = pdfPage->row(files - 1);
        QCOMPARE(last->taskId(), files - 1);
        QCOMPARE(child<ConversionFormatDorpDown>(last, "widget_dropdown")->format(),
                 QString("txt"));
        QCOMPARE(last->outputSuffix(), QString(".txt"));
        QCOMPARE(labelText(last, "label_InputFilePages"), QString("12页"));

        // How long clearing takes is measured by scripts/bench-files.sh.
        pressInNextModal("btn_ok");
        pdfPage->on_MainBtn_ClearList_clicked();
        QCOMPARE(pdfPage->rowCount(), 0);
        QVERIFY(QTest::qWaitFor(
            [&] { return pdfPage->findChildren<QuorvaneItemWidget *>().isEmpty(); }, kWaitMs));
    }

    void clearingDestroysTheRowsAFewATurn_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<bool>("closePage");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s", kind->name) << kind << false;
            QTest::addRow("%s, page closed at once", kind->name) << kind << true;
        }
    }

    // Clearing converting rows empties the list and ends their engines at once, while the
    // rows, each some eighty widgets, are hidden and destroyed over later turns of the event
    // loop, a few a turn: a long list must not hold the window while it goes. A page closed
    // meanwhile takes the rows still there with it.
    void clearingDestroysTheRowsAFewATurn()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(bool, closePage);
        const int count = 12;
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QString("r%1").arg(i);
        QVERIFY(addRows(kind, names));
        EngineFixture::runUntilStopped();
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        QCOMPARE(EngineFixture::runningOnceAtLeast(count), count);

        QList<QWidget *> rows;
        for (int i = 0; i < count; ++i)
            rows << kind->row(page(), i);
        const LoopTurns turns;
        QList<int> turnOfDestruction;
        for (QWidget *row : rows)
            connect(row, &QObject::destroyed, this, [&] { turnOfDestruction << turns.count(); });

        pressInNextModal("btn_ok");
        emit child<ImageWordButton>(page(), "imgbutton_ClearList")->ClickButtonSignal();
        QCOMPARE(kind->rowCount(page()), 0);
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 0);
        QVERIFY(turnOfDestruction.isEmpty());
        QVERIFY(
            std::all_of(rows.begin(), rows.end(), [](QWidget *row) { return row->isHidden(); }));

        if (closePage)
            m_page.reset();
        QVERIFY(QTest::qWaitFor([&] { return turnOfDestruction.size() == count; }, kWaitMs));
        if (!closePage) {
            int most = 0;
            for (int turn : turnOfDestruction)
                most = std::max<int>(most, turnOfDestruction.count(turn));
            QVERIFY2(most <= count / 3, qPrintable(QString("%1 rows in one turn").arg(most)));
        }
        QVERIFY2(EngineFixture::allEnginesEnd(), EngineStandIn::leftRunning);
        for (const QString &name : names)
            QVERIFY(QFile::exists(m_files->filePath(name + "." + kind->sourceSuffix)));
    }

    // Clearing, deleting a converting row or closing the page ends the engine and every
    // converter it started.
    void removingConvertingRowsEndsTheirWholeEngines_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("removal");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, clear", kind->name) << kind << "clear";
            QTest::addRow("%s, delete", kind->name) << kind << "delete";
            QTest::addRow("%s, page closed", kind->name) << kind << "page closed";
        }
    }

    void removingConvertingRowsEndsTheirWholeEngines()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, removal);
        QVERIFY(addRows(kind, {"a", "b"}));
        QVERIFY2(EngineFixture::allEnginesEnd(), EngineStandIn::leftRunning);
        const QString life = QString::number(EngineStandIn::kUntilStoppedMs);
        EngineStandIn::setScript({"child " + life, "child " + life, "sleep " + life});
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        QCOMPARE(EngineFixture::runningOnceAtLeast(6), 6);

        if (removal == "clear") {
            pressInNextModal("btn_ok");
            emit child<ImageWordButton>(page(), "imgbutton_ClearList")->ClickButtonSignal();
        } else if (removal == "delete") {
            pressInNextModal("btn_ok");
            press(kind->row(page(), 0), "btn_DeleteItem_Converting");
            // Checked at the bound, without the further wait of a failed QTRY_COMPARE.
            QCOMPARE(EngineFixture::runningOnceAtMost(3), 3);
            pressInNextModal("btn_ok");
            press(kind->row(page(), 0), "btn_DeleteItem_Converting");
        } else {
            m_page.reset();
        }
        QVERIFY2(EngineFixture::allEnginesEnd(), EngineStandIn::leftRunning);
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("converting");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, cancel keeps a ready row", kind->name)
                << kind << "btn_cancel" << false;
            QTest::addRow("%s, ok removes only that ready row", kind->name)
                << kind << "btn_ok" << false;
            QTest::addRow("%s, cancel keeps the row running", kind->name)
                << kind << "btn_cancel" << true;
            QTest::addRow("%s, close keeps the row running", kind->name)
                << kind << "btn_close" << true;
            QTest::addRow("%s, ok removes only that running row", kind->name)
                << kind << "btn_ok" << true;
        }
    }

    void deleteAsksFirst()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, answer);
        QFETCH(bool, converting);
        QVERIFY(addRows(kind, {"a", "b", "c"}));
        QWidget *row = kind->row(page(), 1);
        if (converting) {
            EngineFixture::runUntilStopped();
            kind->startConversion(row);
            QCOMPARE(EngineFixture::runningOnceAtLeast(1), 1);
        }

        QString question;
        onNextModal([&](QWidget *modal) {
            if (auto *label = modal->findChild<QLabel *>("label"))
                question = label->text();
            pressButton(modal, answer);
        });
        press(row, converting ? "btn_DeleteItem_Converting" : "btn_DeleteItemReady");
        QCOMPARE(question, QString("确定删除吗？"));
        const bool removed = answer == "btn_ok";
        QCOMPARE(kind->rowCount(page()), removed ? 2 : 3);
        if (converting)
            QCOMPARE(EngineFixture::runningOnceAtMost(removed ? 0 : 1), removed ? 0 : 1);
        QList<int> ids;
        for (int i = 0; i < kind->rowCount(page()); ++i)
            ids << kind->taskId(kind->row(page(), i));
        QCOMPARE(ids, removed ? QList<int>({0, 2}) : QList<int>({0, 1, 2}));
        QVERIFY(QFile::exists(m_files->filePath("b." + kind->sourceSuffix)));
    }

    void deletingTheLastRowEmptiesThePage_data() { addPageRows(); }

    void deletingTheLastRowEmptiesThePage()
    {
        QFETCH(const PageKind *, kind);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        pressInNextModal("btn_ok");
        press(row, "btn_DeleteItemReady");
        QCOMPARE(kind->rowCount(page()), 0);
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(page(), "imgbtn_allconvert")->isHidden());
        if (kind->hasFormats)
            QVERIFY(child<QWidget>(page(), "imgbtn_allsets")->isHidden());
        kind->addRow(page(), m_files->filePath("a." + kind->sourceSuffix));
        QCOMPARE(kind->taskId(kind->row(page(), 0)), 1);
    }

    void clearAsksFirst_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("refusal");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, cancelled, then confirmed", kind->name) << kind << "btn_cancel";
            QTest::addRow("%s, closed, then confirmed", kind->name) << kind << "btn_close";
        }
    }

    void clearAsksFirst()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, refusal);
        QVERIFY(addRows(kind, {"a", "b"}));
        EngineFixture::runUntilStopped();
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        QCOMPARE(EngineFixture::runningOnceAtLeast(2), 2);

        auto *clear = child<ImageWordButton>(page(), "imgbutton_ClearList");
        QCOMPARE(clear->text(), QString("清空列表"));
        QString question;
        onNextModal([&](QWidget *modal) {
            if (auto *label = modal->findChild<QLabel *>("label"))
                question = label->text();
            pressButton(modal, refusal);
        });
        emit clear->ClickButtonSignal();
        QCOMPARE(question, QString("确定清空吗？"));
        QCOMPARE(kind->rowCount(page()), 2);
        QCOMPARE(EngineFixture::runningEngines(), 2);

        pressInNextModal("btn_ok");
        emit clear->ClickButtonSignal();
        QCOMPARE(kind->rowCount(page()), 0);
        QVERIFY2(EngineFixture::allEnginesEnd(), EngineStandIn::leftRunning);
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(page(), "imgbtn_allconvert")->isHidden());
        for (const char *name : {"a", "b"})
            QVERIFY(QFile::exists(m_files->filePath(name + ("." + kind->sourceSuffix))));

        kind->addRow(page(), m_files->filePath("a." + kind->sourceSuffix));
        QCOMPARE(kind->taskId(kind->row(page(), 0)), 2);
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        QWidget *row = kind->row(page(), 0);
        waitUntil([row] { return statePage(row) != 0; });
        QCOMPARE(statePage(row), 1); // a ready row starts
    }

    void addFilesByDialog_data() { addPageRows(); }

    void addFilesByDialog()
    {
        QFETCH(const PageKind *, kind);
        QStringList picked;
        QStringList names;
        for (const char *name : {"one", "two", "three"}) {
            names << QString("\"%1.%2\"").arg(name, kind->sourceSuffix);
            picked << m_files->filePath(name + ("." + kind->sourceSuffix));
            QVERIFY(writeFile(picked.last()));
        }
        openPage(kind);

        onNextModal([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
        QVERIFY(QMetaObject::invokeMethod(page(), "on_AddFileBtn_AddFile_clicked"));
        QCOMPARE(kind->rowCount(page()), 0);
        QVERIFY(readConfigValue("convert/openfilepath").isEmpty());
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 0);

        QString startFolder;
        QStringList filters;
        onNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog)
                return;
            startFolder = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            dialog->setDirectory(m_files->path());
            child<QLineEdit>(dialog, "fileNameEdit")->setText(names.join(' '));
            static_cast<QDialog *>(dialog)->accept();
        });
        child<QPushButton>(page(), "AddFileBtn_AddFile")->click();
        QCOMPARE(startFolder, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        QCOMPARE(filters, QStringList(kind->nameFilter));
        waitUntil([&] { return kind->rowCount(page()) >= 3; });
        QCOMPARE(kind->rowCount(page()), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(kind->filePath(kind->row(page(), i)), picked.at(i));
        QCOMPARE(readConfigValue("convert/openfilepath"), picked.first());
        QCOMPARE(child<QStackedWidget>(page(), "stackedWidget")->currentIndex(), 1);

        // The next dialog starts in the folder of the remembered file.
        onNextModal([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal))
                startFolder = dialog->directory().absolutePath();
            qobject_cast<QDialog *>(modal)->reject();
        });
        emit child<ImageWordButton>(page(), "imgbutton_AddFile")->ClickButtonSignal();
        QCOMPARE(startFolder, m_files->path());
    }

    void outputFolderButtons_data() { addPageRows(); }

    void outputFolderButtons()
    {
        QFETCH(const PageKind *, kind);
        openPage(kind);
        auto *shown = child<QLineEdit>(page(), "lineEdit_OutPutDir");
        const QString chosen = m_files->filePath("chosen");
        QVERIFY(QDir().mkpath(chosen));

        onNextModal([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
        child<QPushButton>(page(), "btn_ChangeOutPutDir")->click();
        QCOMPARE(shown->text(), m_output);

        QString startFolder;
        onNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog)
                return;
            startFolder = dialog->directory().absolutePath();
            dialog->setDirectory(chosen);
            static_cast<QDialog *>(dialog)->accept();
        });
        child<QPushButton>(page(), "btn_ChangeOutPutDir")->click();
        QCOMPARE(startFolder, m_output);
        QCOMPARE(shown->text(), chosen);
        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), chosen);

        OpenedUrls opened;
        child<QPushButton>(page(), "btn_OpenOutPutDir")->click();
        QVERIFY(QDir(chosen).removeRecursively());
        child<QPushButton>(page(), "btn_OpenOutPutDir")->click();
        QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(chosen)}));
    }

    void changedFolderThatCannotBeTaken_data()
    {
        QTest::addColumn<const PageKind *>("kind");
        QTest::addColumn<QString>("chosen"); // "" for a folder of the test's own
        QTest::addColumn<QString>("question");
        for (const PageKind *kind : bothPages()) {
            QTest::addRow("%s, a folder no one may write into", kind->name) << kind << "/proc"
                                                                            << "无法写入文件夹";
            QTest::addRow("%s, settings at their bound", kind->name) << kind << ""
                                                                     << "无法保存输出文件夹";
        }
    }

    // A folder that rows could not write into, or that the settings store refuses to keep, is
    // not taken: the user is told why, and the page and its rows keep the folder they had.
    void changedFolderThatCannotBeTaken()
    {
        QFETCH(const PageKind *, kind);
        QFETCH(QString, chosen);
        QFETCH(QString, question);
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        if (chosen.isEmpty()) {
            chosen = m_files->filePath("chosen");
            QVERIFY(QDir().mkpath(chosen));
            fillSettingsToTheBound();
        }
        const QByteArray settings = readFile(configFilePath());

        // Shared with the answer to a notice, which may still wait when the case ends.
        const auto shown = std::make_shared<QStringList>();
        onNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog)
                return;
            dialog->setDirectory(chosen);
            static_cast<QDialog *>(dialog)->accept();
            // The notice comes once the folder dialog has gone.
            onNextModal([shown](QWidget *notice) {
                if (!qobject_cast<MessageBoxDialog *>(notice))
                    return;
                *shown << child<QLabel>(notice, "label")->text()
                       << child<QLabel>(notice, "label_tips")->text();
                pressButton(notice, "btn_ok");
            });
        });
        child<QPushButton>(page(), "btn_ChangeOutPutDir")->click();
        QCOMPARE(shown->value(0), question);
        if (question == "无法写入文件夹")
            QCOMPARE(shown->value(1), chosen);
        QCOMPARE(child<QLineEdit>(page(), "lineEdit_OutPutDir")->text(), m_output);
        QVERIFY(readFile(configFilePath()) == settings);

        const QString output = m_output + "/a" + kind->outputSuffix;
        EngineFixture::succeedWith(output);
        kind->startConversion(row);
        QCOMPARE(resultPage(row), 3);
        QCOMPARE(kind->outputPath(row), output);
    }

    void rowsDoNotStartIntoAFolderThatCannotBeWritten_data() { addPageRows(); }

    // Converting every row into a folder no one may write into starts none of them: the rows
    // stay ready, and the user is told once, naming the folder. Once the folder can be written
    // into, they convert.
    void rowsDoNotStartIntoAFolderThatCannotBeWritten()
    {
        QFETCH(const PageKind *, kind);
        QVERIFY(addRows(kind, {"a", "b", "c"}));
        writeConfigValue("convert", "FileConvertOutPutDir", "/proc");
        const int runs = m_engine.conversions().size();

        QStringList notices;
        const auto noteNotice = [&](QWidget *modal) {
            notices << child<QLabel>(modal, "label")->text() + " " +
                           child<QLabel>(modal, "label_tips")->text();
            pressButton(modal, "btn_ok");
        };
        onNextModal(noteNotice);
        emit child<ImageWordButton>(page(), "imgbtn_allconvert")->ClickButtonSignal();
        QVERIFY(QTest::qWaitFor([&] { return !notices.isEmpty(); }, kWaitMs));
        // A second notice would be on its way by now.
        onNextModal(noteNotice, 1000);
        QTest::qWait(1500);
        QCOMPARE(notices, QStringList("无法写入文件夹 /proc"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(statePage(kind->row(page(), i)), 0);
        QCOMPARE(m_engine.conversions().size(), runs);

        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
        QWidget *row = kind->row(page(), 0);
        EngineFixture::succeedWith(m_output + "/a" + kind->outputSuffix);
        kind->startConversion(row);
        QCOMPARE(resultPage(row), 3);
        QVERIFY(notices.size() == 1);
    }

    void setAllNeedsTheMainWindow()
    {
        const PageKind *kind = pdfToFilePage();
        QWidget *row = singleRow(kind);
        QVERIFY(row);
        // Returns at once: no main window, no dialog.
        qobject_cast<PdfToFileWidget *>(page())->on_btn_AllSets_clicked();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(kind->rowOutputSuffix(row), QString(".docx"));
    }

private:
    QWidget *page() const { return m_page.get(); }

    void openPage(const PageKind *kind) { m_page = kind->makePage(); }

    // A page of kind listing a file of each name, of the sort the page takes; false unless
    // every row has its page count.
    bool addRows(const PageKind *kind, const QStringList &names)
    {
        openPage(kind);
        for (const QString &name : names) {
            const QString path = m_files->filePath(name + "." + kind->sourceSuffix);
            if (!QFile::exists(path) && !writeFile(path))
                return false;
            kind->addRow(page(), path);
        }
        kind->setPage(page(), 1);
        return pageCountsDone(kind);
    }

    int convertingRows(const PageKind *kind)
    {
        int converting = 0;
        for (int i = 0; i < kind->rowCount(page()); ++i) {
            if (statePage(kind->row(page(), i)) == RowPresentation::ConvertingPage)
                ++converting;
        }
        return converting;
    }

    // The one row of a page of kind, or null.
    // The settings file, as Qt writes it, padded right up to the bound of the store: no
    // entry can be added to it, nor a value made longer.
    static void fillSettingsToTheBound()
    {
        {
            QSettings file(configFilePath(), QSettings::IniFormat);
            file.setValue("zpad/fill", QString());
            file.sync();
            file.setValue(
                "zpad/fill",
                QString(int(maximumIniFileBytes - QFileInfo(configFilePath()).size()), 'p'));
        }
        QCOMPARE(QFileInfo(configFilePath()).size(), maximumIniFileBytes);
    }

    QWidget *singleRow(const PageKind *kind)
    {
        return addRows(kind, {"a"}) ? kind->row(page(), 0) : nullptr;
    }

    // True once every row of the page has shown its page count.
    bool pageCountsDone(const PageKind *kind)
    {
        return QTest::qWaitFor(
            [&] {
                for (int i = 0; i < kind->rowCount(page()); ++i) {
                    if (labelText(kind->row(page(), i), "label_InputFilePages") ==
                        QString("读取中"))
                        return false;
                }
                return true;
            },
            kWaitMs);
    }

    EngineFixture m_engine;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<QWidget> m_page;
    QString m_output;
};

QTEST_MAIN(ConversionPagesTest)
#include "tst_ConversionPages.moc"
