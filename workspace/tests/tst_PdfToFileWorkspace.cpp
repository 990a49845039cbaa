#include "ConversionFormatDorpDown.h"
#include "ConversionFormatListItemWidget.h"
#include "ConversionFormatWidget.h"
#include "ImageWordButton.h"
#include "PageTestBed.h"
#include "ProcessTree.h"
#include "PdfToFileWidget.h"
#include "QuorvaneItemWidget.h"
#include "RowTestSupport.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>

using namespace WorkspaceTest;

namespace {

QString localOutput(const QString &folder, const QString &name)
{
    return QDir::toNativeSeparators(folder + "/" + name);
}

} // namespace

// The PDF-to-file page and its rows, converting with the stand-in engine.
class PdfToFileWorkspaceTest : public QObject, public PageTestBed<PdfToFileWidget>
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startSuite()); }
    void cleanupTestCase() { endSuite(); }

    void init()
    {
        QVERIFY(startTest("12"));
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
    }

    void cleanup() { QVERIFY(endTest()); }

    void outputFolderAtStart_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("none stored: the desktop folder") << false;
        QTest::newRow("stored one shown unchanged") << true;
    }

    void outputFolderAtStart()
    {
        QFETCH(bool, stored);
        const QString desktopFolder =
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/Quorvane";
        QDir(desktopFolder).removeRecursively();
        const QString missing = m_files->filePath("missing");
        clearSettings();
        if (stored)
            writeConfigValue("convert", "FileConvertOutPutDir", missing);

        PdfToFileWidget page;
        const QString expected = stored ? missing : desktopFolder;
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_OutPutDir")->text(), expected);
        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), expected);
        QCOMPARE(QFileInfo(desktopFolder).isDir(), !stored);
        QVERIFY(!QFileInfo::exists(missing));

        QCOMPARE(child<QStackedWidget>(&page, "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(&page, "imgbtn_allsets")->isHidden());
        QVERIFY(child<QWidget>(&page, "imgbtn_allconvert")->isHidden());
        QCOMPARE(child<ImageWordButton>(&page, "imgbtn_allconvert")->text(), QString("全部转换"));

        // The other page may change the shared folder; switching here shows it.
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
        page.refreshOutputDir();
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_OutPutDir")->text(), m_output);
    }

    // Nothing can be stored: the folder the page shows is still the one a row writes into.
    void outputFolderShownIsUsedWhenSettingsCannotBeStored()
    {
        const QString desktopFolder =
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/Quorvane";
        clearSettings();
        QVERIFY(QDir().mkpath(configFilePath())); // a folder in the settings file's place
        QuorvaneItemWidget *row = singleRow();
        QCOMPARE(child<QLineEdit>(m_page.get(), "lineEdit_OutPutDir")->text(), desktopFolder);
        m_page->refreshOutputDir();
        QCOMPARE(child<QLineEdit>(m_page.get(), "lineEdit_OutPutDir")->text(), desktopFolder);

        EngineFixture::succeedWith(desktopFolder + "/a.docx");
        const int runs = m_engine.conversions().size();
        row->startConversion();
        QTRY_COMPARE_WITH_TIMEOUT(m_engine.conversions().size(), runs + 1, 5000);
        QCOMPARE(m_engine.conversions().last().arguments.value(3),
                 localOutput(desktopFolder, "a.docx"));
        QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 3, 5000);
        QCOMPARE(row->outputPath(), desktopFolder + "/a.docx");
    }

    void droppedTreeBecomesRows()
    {
        const QString tree = m_files->filePath("tree");
        for (const char *name : {"a.pdf", "B.PDF", "notes.txt", "copy.pdf.bak", "noext",
                                 ".hidden.pdf", "sub/d.Pdf", "sub/deeper/e.pdf", ".dir/f.pdf"})
            QVERIFY(writeFile(tree + "/" + name));
        const QString single = m_files->filePath("single.pdf");
        const QString other = m_files->filePath("other.docx");
        QVERIFY(writeFile(single));
        QVERIFY(writeFile(other));

        m_page.reset(new PdfToFileWidget);
        dropUrls(m_page.get(), {QUrl::fromLocalFile(tree), QUrl::fromLocalFile(single),
                                QUrl::fromLocalFile(other)});

        QStringList fromTree;
        for (const char *name : {"a.pdf", "B.PDF", "sub/d.Pdf", "sub/deeper/e.pdf"})
            fromTree << QDir(tree).filePath(name);
        QTRY_COMPARE(m_page->rowCount(), 5);
        QStringList listed;
        for (int i = 0; i < 4; ++i)
            listed << m_page->row(i)->filePath();
        listed.sort();
        fromTree.sort();
        QCOMPARE(listed, fromTree);
        QCOMPARE(m_page->row(4)->filePath(), single);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(m_page->row(i)->taskId(), i);
            QTRY_COMPARE(labelText(m_page->row(i), "label_InputFilePages"), QString("12页"));
        }
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 1);
        QVERIFY(!child<QWidget>(m_page.get(), "imgbtn_allsets")->isHidden());
        QVERIFY(!child<QWidget>(m_page.get(), "imgbtn_allconvert")->isHidden());

        // The same file dropped again is listed again, with a new id.
        dropUrls(m_page.get(), {QUrl::fromLocalFile(single)});
        QTRY_COMPARE(m_page->rowCount(), 6);
        QCOMPARE(m_page->row(5)->taskId(), 5);
    }

    void dropWithoutPdfLeavesThePageEmpty()
    {
        const QString other = m_files->filePath("other.docx");
        QVERIFY(writeFile(other));
        PdfToFileWidget page;
        dropUrls(&page, {QUrl::fromLocalFile(other), QUrl::fromLocalFile(m_files->filePath("x"))});
        QCOMPARE(page.rowCount(), 0);
        QCOMPARE(child<QStackedWidget>(&page, "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(&page, "imgbtn_allconvert")->isHidden());
    }

    void rowShowsItsFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon"); // "" for none
        QTest::addColumn<QString>("pageAnswer");
        QTest::addColumn<QString>("pageLabel");
        QTest::newRow("capital PDF") << "report.PDF"
                                     << "icon_pdf_to_file_pdf.png"
                                     << "3"
                                     << "3页";
        QTest::newRow("unknown count") << "a.pdf"
                                       << "icon_pdf_to_file_pdf.png"
                                       << "-1"
                                       << "未知";
        QTest::newRow("no count") << "b.pdf"
                                  << "icon_pdf_to_file_pdf.png"
                                  << ""
                                  << "全部页";
        QTest::newRow("excel first") << "x.xlsx"
                                     << "icon_file_to_pdf_excel.png"
                                     << "1"
                                     << "1页";
        QTest::newRow("word") << "x.doc"
                              << "icon_file_to_pdf_word.png"
                              << "1"
                              << "1页";
        QTest::newRow("powerpoint") << "x.pptx"
                                    << "icon_file_to_pdf_ppt.png"
                                    << "1"
                                    << "1页";
        QTest::newRow("no icon") << "x.txt"
                                 << ""
                                 << "1"
                                 << "1页";
    }

    void rowShowsItsFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, icon);
        QFETCH(QString, pageAnswer);
        QFETCH(QString, pageLabel);
        const QString path = m_files->filePath(name);
        QVERIFY(writeFile(path, QByteArray(1536, 'x')));
        EngineStandIn::setScript(pageAnswer.isEmpty() ? QStringList{}
                                                      : QStringList{"state [filepagenum]",
                                                                    "state pagenum=" + pageAnswer});
        QuorvaneItemWidget row;
        row.setFilePath(path);
        const QString styleSheet = child<QWidget>(&row, "widget_FileIcon")->styleSheet();
        QCOMPARE(styleSheet.isEmpty(), icon.isEmpty());
        QVERIFY(styleSheet.contains(icon));
        QCOMPARE(labelText(&row, "label_InputFileFormat"), QFileInfo(name).suffix());
        QCOMPARE(labelText(&row, "label_FileSize"), QString("1.50KB"));
        QCOMPARE(labelText(&row, "label_InputFilePages"), QString("读取中"));
        QTRY_COMPARE(labelText(&row, "label_InputFilePages"), pageLabel);
        QCOMPARE(row.outputSuffix(), QString(".docx"));
        QCOMPARE(labelText(&row, "label_OutputFileName"), QFileInfo(name).completeBaseName());
    }

    void longNamesAreElidedButKept()
    {
        const QString name = QString("很长的文件名").repeated(10);
        const QString path = m_files->filePath(name + ".pdf");
        QVERIFY(writeFile(path));
        QuorvaneItemWidget row;
        row.setFilePath(path);
        for (const char *label : {"label_InputFileName", "label_OutputFileName"}) {
            QVERIFY(labelText(&row, label).endsWith(QChar(0x2026)));
            QVERIFY(labelText(&row, label).size() < name.size());
        }
        QCOMPARE(child<QLineEdit>(&row, "lineEdit_EditName")->text(), name);
    }

    void roadOfConversions()
    {
        m_page.reset(new PdfToFileWidget);
        QList<QUrl> urls;
        for (const char *name : {"a.pdf", "b.pdf", "c.pdf"}) {
            QVERIFY(writeFile(m_files->filePath(name)));
            urls << QUrl::fromLocalFile(m_files->filePath(name));
        }
        dropUrls(m_page.get(), urls);
        QuorvaneItemWidget *first = m_page->row(0), *second = m_page->row(1),
                           *third = m_page->row(2);
        QVERIFY(pageCountsDone(m_page.get()));

        // The second row's output gets a new name; it is taken when the editor loses focus.
        child<QPushButton>(second, "btn_ChangeOutputFileName")->click();
        QCOMPARE(child<QStackedWidget>(second, "stackedWidget_Edit")->currentIndex(), 1);
        child<QLineEdit>(second, "lineEdit_EditName")->setText("renamed");
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(child<QLineEdit>(second, "lineEdit_EditName"), &focusOut);
        QCOMPARE(child<QStackedWidget>(second, "stackedWidget_Edit")->currentIndex(), 0);
        QCOMPARE(labelText(second, "label_OutputFileName"), QString("renamed"));

        const int before = m_engine.conversions().size();
        m_page->ClickAllSettingFormatSlot("png");
        EngineFixture::succeedWith(m_output + "/result.png", 37, 3000);
        child<QPushButton>(third, "btn_ConvertReady")->click();
        QCOMPARE(statePage(third), 1);
        QVERIFY(!child<QWidget>(third, "widget_dropdown")->isEnabled());
        QVERIFY(child<QWidget>(third, "btn_ChangeOutputFileName")->isHidden());

        // Set-all passes a converting row by; a row chooses its own format in its popup.
        m_page->ClickAllSettingFormatSlot("txt");
        m_page->ClickAllSettingFormatSlot("");
        auto *dropDown = child<ConversionFormatDorpDown>(first, "widget_dropdown");
        QTest::mouseClick(dropDown, Qt::LeftButton);
        QTest::mouseClick(dropDown->popup()->item(2), Qt::LeftButton);
        QCOMPARE(first->outputSuffix(), QString(".xlsx"));
        QCOMPARE(second->outputSuffix(), QString(".txt"));
        QCOMPARE(third->outputSuffix(), QString(".png"));

        emit child<ImageWordButton>(m_page.get(), "imgbtn_allconvert")->ClickButtonSignal();
        QTRY_COMPARE(m_engine.conversions().size(), before + 3);
        const QList<EngineRun> runs = m_engine.conversions().mid(before);
        QMap<QString, QStringList> bySource;
        for (const EngineRun &run : runs)
            bySource[run.arguments.value(2)] = run.arguments;
        const QStringList first_ = bySource.value(m_files->filePath("a.pdf"));
        const QStringList second_ = bySource.value(m_files->filePath("b.pdf"));
        const QStringList third_ = bySource.value(m_files->filePath("c.pdf"));
        QCOMPARE(third_.mid(0, 4), QStringList({"", "file2img", m_files->filePath("c.pdf"),
                                                localOutput(m_output, "c.png")}));
        QCOMPARE(third_.mid(5), QStringList({"", "png", "", "", "", "576", "3"}));
        QCOMPARE(first_.mid(0, 4), QStringList({"", "file2excel", m_files->filePath("a.pdf"),
                                                localOutput(m_output, "a.xlsx")}));
        QCOMPARE(first_.size(), 13);
        QCOMPARE(second_.mid(0, 4), QStringList({"", "file2txt", m_files->filePath("b.pdf"),
                                                 localOutput(m_output, "renamed.txt")}));
        QCOMPARE(second_.size(), 10);
        for (const EngineRun &run : runs)
            QCOMPARE(QDir(run.workingDirectory).canonicalPath(),
                     QDir(applicationDir()).canonicalPath());

        for (QuorvaneItemWidget *row : {third, first, second}) {
            QTRY_COMPARE(labelText(row, "label_ConvertProcess"), QString("37%"));
            QTRY_COMPARE(fill(row), 37 * 50);
        }

        for (QuorvaneItemWidget *row : {first, second, third}) {
            QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 3, 10000);
            QCOMPARE(labelText(row, "label_ConvertProcess"), QString("100%"));
            QCOMPARE(fill(row), 0);
            QVERIFY(!child<QWidget>(row, "widget_dropdown")->isEnabled());
            QVERIFY(!child<QWidget>(row, "btn_ChangeOutputFileName")->isHidden());
        }

        // Finished rows are not started again, by convert-all or by anyone.
        emit child<ImageWordButton>(m_page.get(), "imgbtn_allconvert")->ClickButtonSignal();
        third->startConversion();
        QTest::qWait(300);
        QCOMPARE(m_engine.conversions().size(), before + 3);

        OpenedUrls opened;
        child<QPushButton>(third, "btn_OpenConvertedFile")->click();
        child<QPushButton>(third, "btn_OpenConvertedFolder")->click();
        child<QPushButton>(third, "btn_openSourceFile")->click();
        QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(m_output + "/result.png"),
                                           QUrl::fromLocalFile(m_output),
                                           QUrl::fromLocalFile(m_files->filePath("c.pdf"))}));
    }

    void resultIsHeldFor600Milliseconds_data()
    {
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("success") << true;
        QTest::newRow("failure") << false;
    }

    void resultIsHeldFor600Milliseconds()
    {
        QFETCH(bool, succeeds);
        QuorvaneItemWidget *row = singleRow();
        if (succeeds)
            EngineFixture::succeedWith(m_output + "/a.docx", 60, 300);
        else
            EngineFixture::failAfter(300);
        row->startConversion();
        QVERIFY(waitForResult(row));
        QElapsedTimer held;
        held.start();
        QCOMPARE(statePage(row), 1);
        // A poll that comes after the result must not pull the fill back.
        row->ProcessStateSlot(40);
        QCOMPARE(fill(row), 5000);
        QVERIFY(labelText(row, "label_ConvertProcess") != QString("40%"));
        QVERIFY(QTest::qWaitFor([row] { return statePage(row) != 1; }, 3000));
        QVERIFY2(held.elapsed() >= 500, qPrintable(QString::number(held.elapsed())));
        QCOMPARE(statePage(row), succeeds ? 3 : 4);
        QCOMPARE(labelText(row, "label_ConvertProcess"), QString("100%"));
        QCOMPARE(fill(row), 0);
    }

    void failedConversion()
    {
        QuorvaneItemWidget *row = singleRow();
        EngineFixture::failAfter(0);
        row->startConversion();
        QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 4, 5000);
        QCOMPARE(labelText(row, "label_ConvertFailed"), QString("失败"));
        QVERIFY(row->outputPath().isEmpty());
        QVERIFY(child<QWidget>(row, "widget_dropdown")->isEnabled());

        // Failed is final for convert-all, but the format may still change.
        const int runs = m_engine.conversions().size();
        emit child<ImageWordButton>(m_page.get(), "imgbtn_allconvert")->ClickButtonSignal();
        m_page->ClickAllSettingFormatSlot("html");
        QCOMPARE(row->outputSuffix(), QString(".html"));
        QTest::qWait(200);
        QCOMPARE(m_engine.conversions().size(), runs);

        // The row's own retry starts it afresh.
        EngineFixture::succeedWith(m_output + "/a.html");
        child<QPushButton>(row, "btn_ConvertRetry")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 3, 5000);
        QCOMPARE(m_engine.conversions().size(), runs + 1);
        QCOMPARE(m_engine.conversions().last().arguments.value(1), QString("file2html"));
        QCOMPARE(row->outputPath(), m_output + "/a.html");
    }

    void endingAConversionKillsTheEngine()
    {
        QuorvaneItemWidget *row = singleRow();
        EngineFixture::runFor(20000);
        row->startConversion();
        QTRY_COMPARE_WITH_TIMEOUT(EngineFixture::runningEngines(), 1, 5000);

        child<QPushButton>(row, "btn_ConvertEnd_Converting")->click();
        QCOMPARE(EngineFixture::runningEngines(), 0);
        QCOMPARE(statePage(row), 0);
        QCOMPARE(fill(row), 0);
        QVERIFY(child<QWidget>(row, "widget_dropdown")->isEnabled());
        QVERIFY(!child<QWidget>(row, "btn_ChangeOutputFileName")->isHidden());

        const int runs = m_engine.conversions().size();
        row->startConversion();
        QTRY_COMPARE_WITH_TIMEOUT(m_engine.conversions().size(), runs + 1, 5000);
        QCOMPARE(statePage(row), 1);
        // Going away with the page must not leave the engine running (see cleanup).
    }

    void restartDuringTheHoldDropsTheOldResult()
    {
        QuorvaneItemWidget *row = singleRow();
        EngineFixture::succeedWith(m_output + "/a.docx", 50, 0);
        row->startConversion();
        QVERIFY(waitForResult(row));
        QCOMPARE(statePage(row), 1);
        child<QPushButton>(row, "btn_ConvertEnd_Converting")->click();
        QCOMPARE(statePage(row), 0);

        // Started again at once: the old result's hold must neither show it nor end the
        // new engine when its 600 ms are up.
        EngineFixture::runFor(20000);
        row->startConversion();
        QTRY_COMPARE_WITH_TIMEOUT(EngineFixture::runningEngines(), 1, 5000);
        QTest::qWait(900);
        QCOMPARE(statePage(row), 1);
        QCOMPARE(EngineFixture::runningEngines(), 1);
    }

    void pageCountEngineGoesWithItsRow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("page goes away") << "page";
        QTest::newRow("row deleted") << "delete";
        QTest::newRow("list cleared") << "clear";
    }

    void pageCountEngineGoesWithItsRow()
    {
        QFETCH(QString, how);
        EngineFixture::runFor(20000); // the page count never answers
        m_page.reset(new PdfToFileWidget);
        QVERIFY(writeFile(m_files->filePath("a.pdf")));
        m_page->addConverterRow(m_files->filePath("a.pdf"));
        m_page->setPage(1);
        QTRY_COMPARE_WITH_TIMEOUT(EngineFixture::runningEngines(), 1, 5000);
        QCOMPARE(labelText(m_page->row(0), "label_InputFilePages"), QString("读取中"));

        if (how == "page") {
            m_page.reset();
        } else {
            pressInNextModal("btn_ok");
            if (how == "delete")
                press(m_page->row(0), "btn_DeleteItemReady");
            else
                emit child<ImageWordButton>(m_page.get(), "imgbutton_ClearList")
                    ->ClickButtonSignal();
            QCOMPARE(m_page->rowCount(), 0);
        }
        QCOMPARE(EngineFixture::runningEngines(), 0);
        QVERIFY(QFile::exists(m_files->filePath("a.pdf")));
    }

    void progressOutsideAConversionIsIgnored()
    {
        QuorvaneItemWidget *row = singleRow();
        row->ProcessStateSlot(50);
        row->ProcessResultSlot(true, m_output + "/x.docx");
        QTest::qWait(700);
        QCOMPARE(statePage(row), 0);
        QCOMPARE(labelText(row, "label_ConvertProcess"), QString("0.0%"));
        QCOMPARE(fill(row), 0);
        QVERIFY(row->outputPath().isEmpty());
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
        m_page.reset(new PdfToFileWidget);
        m_page->resize(1000, 640);
        m_page->show();

        int listedWhenTheLoopRan = -1;
        QTimer::singleShot(0, this, [&] { listedWhenTheLoopRan = m_page->rowCount(); });
        dropUrls(m_page.get(), {QUrl::fromLocalFile(folder)});
        QTRY_VERIFY(listedWhenTheLoopRan >= 0);
        QVERIFY2(listedWhenTheLoopRan > 0 && listedWhenTheLoopRan < files,
                 qPrintable(QString::number(listedWhenTheLoopRan)));
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 1);

        QTRY_COMPARE_WITH_TIMEOUT(m_page->rowCount(), files, 60000);
        const QList<QuorvaneItemWidget *> rows = m_page->findChildren<QuorvaneItemWidget *>();
        QCOMPARE(rows.size(), files);
        QVERIFY(QTest::qWaitFor(
            [&] {
                return std::all_of(rows.begin(), rows.end(), [](QuorvaneItemWidget *row) {
                    return row->pageCountText() == "12页";
                });
            },
            120000));

        m_page->ClickAllSettingFormatSlot("txt");
        QuorvaneItemWidget *last = m_page->row(files - 1);
        QCOMPARE(last->taskId(), files - 1);
        QCOMPARE(child<ConversionFormatDorpDown>(last, "widget_dropdown")->format(),
                 QString("txt"));
        QCOMPARE(last->outputSuffix(), QString(".txt"));
        QCOMPARE(labelText(last, "label_InputFilePages"), QString("12页"));

        QElapsedTimer clearing;
        pressInNextModal("btn_ok");
        m_page->on_MainBtn_ClearList_clicked();
        clearing.start();
        QCOMPARE(m_page->rowCount(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(clearing.elapsed() < 5000, qPrintable(QString::number(clearing.elapsed())));
        QCOMPARE(m_page->findChildren<QuorvaneItemWidget *>().size(), 0);
    }

    // Clearing, deleting a converting row or closing the page ends the engine and every
    // converter it started.
    void removingConvertingRowsEndsTheirWholeEngines_data()
    {
        QTest::addColumn<QString>("removal");
        QTest::newRow("clear") << "clear";
        QTest::newRow("delete") << "delete";
        QTest::newRow("page closed") << "page closed";
    }

    void removingConvertingRowsEndsTheirWholeEngines()
    {
        QFETCH(QString, removal);
        QVERIFY(ProcessTree::keepOrphans());
        m_page.reset(new PdfToFileWidget);
        for (const char *name : {"a.pdf", "b.pdf"}) {
            QVERIFY(writeFile(m_files->filePath(name)));
            m_page->addConverterRow(m_files->filePath(name));
        }
        QVERIFY(pageCountsDone(m_page.get()));
        QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 0, 5000);
        EngineStandIn::setScript({"child 30000", "child 30000", "sleep 30000"});
        m_page->on_btn_AllConvert_clicked();
        QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 6, 10000);

        if (removal == "clear") {
            pressInNextModal("btn_ok");
            m_page->on_MainBtn_ClearList_clicked();
        } else if (removal == "delete") {
            pressInNextModal("btn_ok");
            press(m_page->row(0), "btn_DeleteItem_Converting");
            QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 3, 5000);
            pressInNextModal("btn_ok");
            press(m_page->row(0), "btn_DeleteItem_Converting");
        } else {
            m_page.reset();
        }
        QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 0, 5000);
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancel keeps the row running") << "btn_cancel";
        QTest::newRow("close keeps the row running") << "btn_close";
        QTest::newRow("ok removes only that row") << "btn_ok";
    }

    void deleteAsksFirst()
    {
        QFETCH(QString, answer);
        m_page.reset(new PdfToFileWidget);
        for (const char *name : {"a.pdf", "b.pdf", "c.pdf"}) {
            QVERIFY(writeFile(m_files->filePath(name)));
            m_page->addConverterRow(m_files->filePath(name));
        }
        QVERIFY(pageCountsDone(m_page.get()));
        EngineFixture::runFor(20000);
        m_page->row(1)->startConversion();
        QTRY_COMPARE_WITH_TIMEOUT(EngineFixture::runningEngines(), 1, 5000);

        pressInNextModal(answer);
        press(m_page->row(1), "btn_DeleteItem_Converting");
        const bool removed = answer == "btn_ok";
        QCOMPARE(m_page->rowCount(), removed ? 2 : 3);
        QCOMPARE(EngineFixture::runningEngines(), removed ? 0 : 1);
        QList<int> ids;
        for (int i = 0; i < m_page->rowCount(); ++i)
            ids << m_page->row(i)->taskId();
        QCOMPARE(ids, removed ? QList<int>({0, 2}) : QList<int>({0, 1, 2}));
        QVERIFY(QFile::exists(m_files->filePath("b.pdf")));
    }

    void deletingTheLastRowEmptiesThePage()
    {
        QuorvaneItemWidget *row = singleRow();
        pressInNextModal("btn_ok");
        press(row, "btn_DeleteItemReady");
        QCOMPARE(m_page->rowCount(), 0);
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(m_page.get(), "imgbtn_allsets")->isHidden());
        m_page->addConverterRow(m_files->filePath("a.pdf"));
        QCOMPARE(m_page->row(0)->taskId(), 1);
    }

    void clearAsksFirst()
    {
        m_page.reset(new PdfToFileWidget);
        for (const char *name : {"a.pdf", "b.pdf"}) {
            QVERIFY(writeFile(m_files->filePath(name)));
            m_page->addConverterRow(m_files->filePath(name));
        }
        m_page->setPage(1);
        QVERIFY(pageCountsDone(m_page.get()));
        EngineFixture::runFor(20000);
        m_page->on_btn_AllConvert_clicked();
        QTRY_COMPARE_WITH_TIMEOUT(EngineFixture::runningEngines(), 2, 5000);

        auto *clear = child<ImageWordButton>(m_page.get(), "imgbutton_ClearList");
        QCOMPARE(clear->text(), QString("清空列表"));
        pressInNextModal("btn_cancel");
        emit clear->ClickButtonSignal();
        QCOMPARE(m_page->rowCount(), 2);
        QCOMPARE(EngineFixture::runningEngines(), 2);

        pressInNextModal("btn_ok");
        emit clear->ClickButtonSignal();
        QCOMPARE(m_page->rowCount(), 0);
        QCOMPARE(EngineFixture::runningEngines(), 0);
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(m_page.get(), "imgbtn_allconvert")->isHidden());
        QVERIFY(QFile::exists(m_files->filePath("a.pdf")));

        m_page->addConverterRow(m_files->filePath("a.pdf"));
        QCOMPARE(m_page->row(0)->taskId(), 2);
        m_page->on_btn_AllConvert_clicked(); // a ready row starts
        QTRY_COMPARE_WITH_TIMEOUT(statePage(m_page->row(0)), 1, 2000);
    }

    void addFilesByDialog()
    {
        QStringList picked;
        for (const char *name : {"one.pdf", "two.pdf", "three.pdf"}) {
            picked << m_files->filePath(name);
            QVERIFY(writeFile(picked.last()));
        }
        m_page.reset(new PdfToFileWidget);

        onNextModal([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
        m_page->on_AddFileBtn_AddFile_clicked();
        QCOMPARE(m_page->rowCount(), 0);
        QVERIFY(readConfigValue("convert/openfilepath").isEmpty());
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 0);

        QString startFolder;
        QStringList filters;
        onNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            startFolder = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            dialog->setDirectory(m_files->path());
            child<QLineEdit>(dialog, "fileNameEdit")
                ->setText("\"one.pdf\" \"two.pdf\" \"three.pdf\"");
            static_cast<QDialog *>(dialog)->accept();
        });
        m_page->on_AddFileBtn_AddFile_clicked();
        QCOMPARE(startFolder, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        QCOMPARE(filters, QStringList("*.pdf"));
        QTRY_COMPARE(m_page->rowCount(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m_page->row(i)->filePath(), picked.at(i));
        QCOMPARE(readConfigValue("convert/openfilepath"), picked.first());
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 1);

        // The next dialog starts in the folder of the remembered file.
        onNextModal([&](QWidget *modal) {
            startFolder = qobject_cast<QFileDialog *>(modal)->directory().absolutePath();
            qobject_cast<QDialog *>(modal)->reject();
        });
        emit child<ImageWordButton>(m_page.get(), "imgbutton_AddFile")->ClickButtonSignal();
        QCOMPARE(startFolder, m_files->path());
    }

    void outputFolderButtons()
    {
        m_page.reset(new PdfToFileWidget);
        auto *shown = child<QLineEdit>(m_page.get(), "lineEdit_OutPutDir");
        const QString chosen = m_files->filePath("chosen");
        QVERIFY(QDir().mkpath(chosen));

        onNextModal([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
        child<QPushButton>(m_page.get(), "btn_ChangeOutPutDir")->click();
        QCOMPARE(shown->text(), m_output);

        QString startFolder;
        onNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            startFolder = dialog->directory().absolutePath();
            dialog->setDirectory(chosen);
            static_cast<QDialog *>(dialog)->accept();
        });
        child<QPushButton>(m_page.get(), "btn_ChangeOutPutDir")->click();
        QCOMPARE(startFolder, m_output);
        QCOMPARE(shown->text(), chosen);
        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), chosen);

        OpenedUrls opened;
        child<QPushButton>(m_page.get(), "btn_OpenOutPutDir")->click();
        QVERIFY(QDir(chosen).removeRecursively());
        child<QPushButton>(m_page.get(), "btn_OpenOutPutDir")->click();
        QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(chosen)}));
    }

    void setAllNeedsTheMainWindow()
    {
        QuorvaneItemWidget *row = singleRow();
        m_page->on_btn_AllSets_clicked(); // returns at once: no main window, no dialog
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(row->outputSuffix(), QString(".docx"));
    }

private:
    QuorvaneItemWidget *singleRow()
    {
        m_page.reset(new PdfToFileWidget);
        const QString path = m_files->filePath("a.pdf");
        if (!QFile::exists(path))
            writeFile(path);
        m_page->addConverterRow(path);
        m_page->setPage(1);
        QuorvaneItemWidget *row = m_page->row(m_page->rowCount() - 1);
        pageCountsDone(m_page.get());
        return row;
    }
};

QTEST_MAIN(PdfToFileWorkspaceTest)
#include "tst_PdfToFileWorkspace.moc"
