#include "ConverterItemWidget.h"
#include "FilesToPdfWidget.h"
#include "ImageWordButton.h"
#include "PageTestBed.h"
#include "RowTestSupport.h"

#include <QLineEdit>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QtTest>

using namespace WorkspaceTest;

// The file-to-PDF page and its rows, converting with the stand-in engine.
class FilesToPdfWorkspaceTest : public QObject, public PageTestBed<FilesToPdfWidget>
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startSuite()); }
    void cleanupTestCase() { endSuite(); }

    void init() { QVERIFY(startTest("4")); }

    void cleanup() { QVERIFY(endTest()); }

    void startsEmptyWithTheDefaultFolder()
    {
        const QString desktopFolder =
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + "/Quorvane";
        QDir(desktopFolder).removeRecursively();
        FilesToPdfWidget page;
        QCOMPARE(child<QLineEdit>(&page, "lineEdit_OutPutDir")->text(), desktopFolder);
        QCOMPARE(readConfigValue("convert/FileConvertOutPutDir"), desktopFolder);
        QVERIFY(QFileInfo(desktopFolder).isDir());
        QCOMPARE(child<QStackedWidget>(&page, "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QWidget>(&page, "imgbtn_allconvert")->isHidden());
        QVERIFY(!child<QWidget>(&page, "imgbtn_allsets"));

        OpenedUrls opened;
        QDir(desktopFolder).removeRecursively();
        child<QPushButton>(&page, "btn_OpenOutPutDir")->click();
        QVERIFY(opened.urls.isEmpty());
    }

    void droppedTreeBecomesRows()
    {
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
        const QString tree = m_files->filePath("tree");
        for (const char *name : {"a.DOCX", "b.xls", "notes.txt", "c.docx.bak", "d.pdf",
                                 ".hidden.doc", "sub/e.PptX", "sub/deep/f.xlsx"})
            QVERIFY(writeFile(tree + "/" + name));

        m_page.reset(new FilesToPdfWidget);
        dropUrls(m_page.get(), {});
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 0);

        dropUrls(m_page.get(), {QUrl::fromLocalFile(tree)});
        QTRY_COMPARE(m_page->rowCount(), 4);
        QStringList expected;
        for (const char *name : {"a.DOCX", "b.xls", "sub/e.PptX", "sub/deep/f.xlsx"})
            expected << QDir(tree).filePath(name);
        QStringList listed;
        for (int i = 0; i < m_page->rowCount(); ++i) {
            QCOMPARE(m_page->row(i)->taskId(), i);
            listed << m_page->row(i)->filePath();
        }
        listed.sort();
        expected.sort();
        QCOMPARE(listed, expected);
        QVERIFY(pageCountsDone(m_page.get()));
        QCOMPARE(labelText(m_page->row(0), "label_InputFilePages"), QString("4页"));
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 1);
        QVERIFY(!child<QWidget>(m_page.get(), "imgbtn_allconvert")->isHidden());
    }

    void rowIconFollowsTheSuffix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon");
        QTest::newRow("capital XLSX") << "sheet.XLSX"
                                      << "icon_file_to_pdf_excel.png";
        QTest::newRow("word") << "letter.docx"
                              << "icon_file_to_pdf_word.png";
        QTest::newRow("powerpoint") << "slides.pptx"
                                    << "icon_file_to_pdf_ppt.png";
        QTest::newRow("no PDF icon here") << "paper.pdf"
                                          << "";
    }

    void rowIconFollowsTheSuffix()
    {
        QFETCH(QString, name);
        QFETCH(QString, icon);
        QVERIFY(writeFile(m_files->filePath(name)));
        ConverterItemWidget row;
        row.setFilePath(m_files->filePath(name));
        const QString style = child<QWidget>(&row, "widget_FileIcon")->styleSheet();
        QCOMPARE(style.isEmpty(), icon.isEmpty());
        QVERIFY(style.contains(icon));
        QCOMPARE(labelText(&row, "label_InputFileFormat"), QFileInfo(name).suffix());
        QCOMPARE(labelText(&row, "label_OutFileFormat"), QString("pdf"));
    }

    void convertAllToPdf()
    {
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
        m_page.reset(new FilesToPdfWidget);
        for (const char *name : {"a.docx", "b.pptx"}) {
            QVERIFY(writeFile(m_files->filePath(name)));
            m_page->addConverterRow(m_files->filePath(name));
        }
        m_page->setPage(1);
        QVERIFY(pageCountsDone(m_page.get()));
        ConverterItemWidget *first = m_page->row(0), *second = m_page->row(1);
        child<QLineEdit>(second, "lineEdit_EditName")->setText("");

        const int before = m_engine.conversions().size();
        EngineFixture::succeedWith(m_output + "/a.pdf", 45, 3000);
        emit child<ImageWordButton>(m_page.get(), "imgbtn_allconvert")->ClickButtonSignal();
        QTRY_COMPARE(m_engine.conversions().size(), before + 2);
        QMap<QString, QStringList> bySource;
        for (const EngineRun &run : m_engine.conversions().mid(before))
            bySource[run.arguments.value(2)] = run.arguments;
        const QStringList tail = {"", "pdf", "", "", "", "", "", "1", "0", "0", "0", "0"};
        QCOMPARE(bySource.value(m_files->filePath("a.docx")),
                 QStringList({"", "file2pdf", m_files->filePath("a.docx"),
                              QDir::toNativeSeparators(m_output + "/a.pdf")}) +
                     QStringList(bySource.value(m_files->filePath("a.docx")).value(4)) + tail);
        // An emptied name still converts, to the folder's ".pdf".
        QCOMPARE(bySource.value(m_files->filePath("b.pptx")).value(3),
                 QDir::toNativeSeparators(m_output + "/.pdf"));

        for (ConverterItemWidget *row : {first, second}) {
            QTRY_COMPARE(labelText(row, "label_ConvertProcess"), QString("45%"));
            QTRY_COMPARE(fill(row), 45 * 50);
        }
        for (ConverterItemWidget *row : {first, second}) {
            QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 3, 10000);
            QCOMPARE(labelText(row, "label_ConvertProcess"), QString("100%"));
        }

        OpenedUrls opened;
        child<QPushButton>(first, "btn_OpenConvertedFile")->click();
        child<QPushButton>(first, "btn_OpenConvertedFolder")->click();
        QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(m_output + "/a.pdf"),
                                           QUrl::fromLocalFile(m_output)}));

        m_page->on_btn_AllConvert_clicked();
        QTest::qWait(200);
        QCOMPARE(m_engine.conversions().size(), before + 2);
    }

    void failureEndAndRetry()
    {
        writeConfigValue("convert", "FileConvertOutPutDir", m_output);
        m_page.reset(new FilesToPdfWidget);
        QVERIFY(writeFile(m_files->filePath("a.doc")));
        m_page->addConverterRow(m_files->filePath("a.doc"));
        QVERIFY(pageCountsDone(m_page.get()));
        ConverterItemWidget *row = m_page->row(0);

        EngineFixture::runFor(20000);
        child<QPushButton>(row, "btn_ConvertReady")->click();
        QTRY_COMPARE_WITH_TIMEOUT(EngineFixture::runningEngines(), 1, 5000);
        QVERIFY(child<QWidget>(row, "btn_ChangeOutputFileName")->isHidden());
        child<QPushButton>(row, "btn_ConvertEnd_Converting")->click();
        QCOMPARE(EngineFixture::runningEngines(), 0);
        QCOMPARE(statePage(row), 0);
        QVERIFY(!child<QWidget>(row, "btn_ChangeOutputFileName")->isHidden());

        EngineFixture::failAfter(0);
        row->startConversion();
        QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 4, 5000);
        QVERIFY(row->outputPath().isEmpty());
        row->startConversion();
        QCOMPARE(statePage(row), 4);

        EngineFixture::succeedWith(m_output + "/a.pdf");
        child<QPushButton>(row, "btn_ConvertRetry")->click();
        QTRY_COMPARE_WITH_TIMEOUT(statePage(row), 3, 5000);
        QCOMPARE(row->outputPath(), m_output + "/a.pdf");
    }

    void deleteAndClearAskFirst()
    {
        m_page.reset(new FilesToPdfWidget);
        for (const char *name : {"a.doc", "b.doc", "c.doc"}) {
            QVERIFY(writeFile(m_files->filePath(name)));
            m_page->addConverterRow(m_files->filePath(name));
        }
        m_page->setPage(1);
        QVERIFY(pageCountsDone(m_page.get()));

        pressInNextModal("btn_cancel");
        press(m_page->row(0), "btn_DeleteItemReady");
        QCOMPARE(m_page->rowCount(), 3);
        pressInNextModal("btn_ok");
        press(m_page->row(0), "btn_DeleteItemReady");
        QCOMPARE(m_page->rowCount(), 2);
        QCOMPARE(m_page->row(0)->taskId(), 1);

        auto *clear = child<ImageWordButton>(m_page.get(), "imgbutton_ClearList");
        pressInNextModal("btn_close");
        emit clear->ClickButtonSignal();
        QCOMPARE(m_page->rowCount(), 2);
        pressInNextModal("btn_ok");
        emit clear->ClickButtonSignal();
        QCOMPARE(m_page->rowCount(), 0);
        QCOMPARE(child<QStackedWidget>(m_page.get(), "stackedWidget")->currentIndex(), 0);
        for (const char *name : {"a.doc", "b.doc", "c.doc"})
            QVERIFY(QFile::exists(m_files->filePath(name)));

        m_page->addConverterRow(m_files->filePath("a.doc"));
        QCOMPARE(m_page->row(0)->taskId(), 3);
    }
};

QTEST_MAIN(FilesToPdfWorkspaceTest)
#include "tst_FilesToPdfWorkspace.moc"
