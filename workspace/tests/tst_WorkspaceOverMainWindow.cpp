#include "AllOutFormatSettingDialog.h"
#include "AllSettiongItemWidget.h"
#include "ConverterItemWidget.h"
#include "DimOverlay.h"
#include "FilesToPdfWidget.h"
#include "ImageWordButton.h"
#include "MainWindow.h"
#include "MessageBoxDialog.h"
#include "PdfToFileWidget.h"
#include "QuorvaneItemWidget.h"
#include "UserInfoManage.h"
#include "WindowWaits.h"
#include "WorkspaceTestSupport.h"

#include <QListWidget>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace WorkspaceTest;

// The pages' modal dialogs run over the real main window and its dim overlay.
class WorkspaceOverMainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        keepServicesOnLoopback();
        clearSettings();
        QVERIFY(m_files.isValid());
        m_window.reset(new MainWindow);
        m_window->show();
        QCOMPARE(UserInfoManage::instance()->mainWindow(), m_window.get());
        m_pdfPage = m_window->findChild<PdfToFileWidget *>("PagePdf2File");
        m_officePage = m_window->findChild<FilesToPdfWidget *>("PageFile2Pdf");
        QVERIFY(m_pdfPage && m_officePage);
        QVERIFY(writeFile(m_files.filePath("a.pdf")));
        QVERIFY(writeFile(m_files.filePath("b.docx")));
    }

    void cleanupTestCase() { m_window.reset(); }

    // At the window's own size every row, action buttons included, lies inside its list,
    // also when the list needs its scroll bar.
    void rowsFitTheirList()
    {
        clearRows();
        for (int i = 0; i < 6; ++i) {
            m_pdfPage->addConverterRow(m_files.filePath("a.pdf"));
            m_officePage->addConverterRow(m_files.filePath("b.docx"));
        }
        m_pdfPage->setPage(1);
        m_officePage->setPage(1);
        auto *stack = child<QStackedWidget>(m_window.get(), "stackedWidget");
        for (QWidget *page :
             {static_cast<QWidget *>(m_pdfPage), static_cast<QWidget *>(m_officePage)}) {
            stack->setCurrentWidget(page);
            auto *list = child<QListWidget>(page, "MainListWidget");
            QTRY_VERIFY_WITH_TIMEOUT(list->verticalScrollBar()->isVisible(), kWindowWaitMs);
            // Rows take their place in the list once they come into view.
            QTRY_VERIFY_WITH_TIMEOUT(list->itemWidget(list->item(0)), kWindowWaitMs);
            QWidget *row = list->itemWidget(list->item(0));
            const QRect inViewport(row->mapTo(list->viewport(), QPoint(0, 0)), row->size());
            QVERIFY2(list->viewport()->rect().contains(inViewport),
                     qPrintable(QString("row %1 wide at x %2, list viewport %3 wide")
                                    .arg(row->width())
                                    .arg(inViewport.x())
                                    .arg(list->viewport()->width())));
        }
        clearRows();
    }

    void setAllRunsOverTheOverlay_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expectedSuffix");
        QTest::newRow("ok applies to every ready row") << "btn_ok"
                                                       << ".xls";
        QTest::newRow("cancel changes nothing") << "btn_cancel"
                                                << ".docx";
    }

    void setAllRunsOverTheOverlay()
    {
        QFETCH(QString, button);
        QFETCH(QString, expectedSuffix);
        clearRows();
        m_pdfPage->addConverterRow(m_files.filePath("a.pdf"));
        m_pdfPage->addConverterRow(m_files.filePath("a.pdf"));

        bool dimmed = false;
        QWidget *parent = nullptr;
        onNextModal([&](QWidget *modal) {
            dimmed = overlay()->isVisible();
            parent = modal->parentWidget();
            if (auto *dialog = qobject_cast<AllOutFormatSettingDialog *>(modal))
                QTest::mouseClick(dialog->tile("xls"), Qt::LeftButton);
            pressButton(modal, button);
        });
        emit m_pdfPage->findChild<ImageWordButton *>("imgbtn_allsets")->ClickButtonSignal();

        QVERIFY(dimmed);
        QCOMPARE(parent, m_window.get());
        QVERIFY(!overlay()->isVisible());
        for (int i = 0; i < m_pdfPage->rowCount(); ++i)
            QCOMPARE(m_pdfPage->row(i)->outputSuffix(), expectedSuffix);
        QCOMPARE(readConfigValue("convert/allsettingformat"),
                 button == "btn_ok" ? QString("xls") : QString());
        clearSettings();
    }

    void deleteAsksOverTheOverlay_data()
    {
        QTest::addColumn<bool>("pdfPage");
        QTest::newRow("PDF to file") << true;
        QTest::newRow("file to PDF") << false;
    }

    void deleteAsksOverTheOverlay()
    {
        QFETCH(bool, pdfPage);
        clearRows();
        QWidget *row = nullptr;
        if (pdfPage) {
            m_pdfPage->addConverterRow(m_files.filePath("a.pdf"));
            row = m_pdfPage->row(0);
        } else {
            m_officePage->addConverterRow(m_files.filePath("b.docx"));
            row = m_officePage->row(0);
        }

        bool dimmed = false;
        QString question;
        QWidget *parent = nullptr;
        onNextModal([&](QWidget *modal) {
            dimmed = overlay()->isVisible();
            if (auto *label = modal->findChild<QLabel *>("label"))
                question = label->text();
            parent = modal->parentWidget();
            pressButton(modal, "btn_ok");
        });
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(row, &enter);
        row->findChild<QPushButton *>("btn_DeleteItemReady")->click();

        QVERIFY(dimmed);
        QCOMPARE(question, QString("确定删除吗？"));
        QCOMPARE(parent, m_window.get());
        QVERIFY(!overlay()->isVisible());
        QCOMPARE(pdfPage ? m_pdfPage->rowCount() : m_officePage->rowCount(), 0);
    }

    // A large folder dropped on the emptied page opens the list on its first rows, also when
    // the list was scrolled down before it was cleared.
    void manyDroppedFilesShowFromTheFirst()
    {
        clearRows();
        const QString folder = m_files.filePath("many");
        for (int i = 0; i < 200; ++i)
            QVERIFY(writeFile(QString("%1/f%2.pdf").arg(folder).arg(i, 3, 10, QChar('0'))));
        child<QStackedWidget>(m_window.get(), "stackedWidget")->setCurrentWidget(m_pdfPage);
        auto *list = child<QListWidget>(m_pdfPage, "MainListWidget");
        for (int round = 0; round < 2; ++round) {
            dropUrls(m_pdfPage, {QUrl::fromLocalFile(folder)});
            // Listed a slice at a time, which a busy machine does slowly: a minute at most.
            QVERIFY(QTest::qWaitFor([this] { return m_pdfPage->rowCount() >= 200; }, 60000));
            QCOMPARE(m_pdfPage->rowCount(), 200);
            QTRY_VERIFY_WITH_TIMEOUT(list->isVisible() && list->verticalScrollBar()->maximum() > 0,
                                     kWindowWaitMs);
            QCOMPARE(list->verticalScrollBar()->value(), 0);
            for (int i = 0; i < 3; ++i) {
                QWidget *row = m_pdfPage->row(i);
                QTRY_VERIFY_WITH_TIMEOUT(row->isVisible(), kWindowWaitMs);
                QCOMPARE(row->pos(), list->visualItemRect(list->item(i)).topLeft());
            }
            list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 2);
            pressInNextModal("btn_ok");
            emit child<ImageWordButton>(m_pdfPage, "imgbutton_ClearList")->ClickButtonSignal();
            QCOMPARE(m_pdfPage->rowCount(), 0);
        }
    }

    // The hover look follows the pointer, also when the row moves away beneath it (the list
    // scrolls) or the pointer moved while a dialog held the window.
    void hoverLookFollowsThePointer_data()
    {
        QTest::addColumn<bool>("byDialog"); // else by scrolling
        QTest::newRow("list scrolled") << false;
        QTest::newRow("dialog closed") << true;
    }

    void hoverLookFollowsThePointer()
    {
        QFETCH(bool, byDialog);
        clearRows();
        for (int i = 0; i < 8; ++i)
            m_pdfPage->addConverterRow(m_files.filePath("a.pdf"));
        m_pdfPage->setPage(1);
        child<QStackedWidget>(m_window.get(), "stackedWidget")->setCurrentWidget(m_pdfPage);
        auto *list = child<QListWidget>(m_pdfPage, "MainListWidget");
        QTRY_VERIFY_WITH_TIMEOUT(list->verticalScrollBar()->isVisible(), kWindowWaitMs);
        list->scrollToTop();
        QuorvaneItemWidget *first = m_pdfPage->row(0);
        // Its form is built once it comes into view.
        QTRY_VERIFY_WITH_TIMEOUT(first->isVisible(), kWindowWaitMs);
        auto *face = child<QWidget>(first, "widget");
        QTest::mouseMove(m_window.get(), QPoint(5, 5));
        QTest::mouseMove(first, QPoint(100, 40));
        QTRY_VERIFY_WITH_TIMEOUT(face->styleSheet().contains("244"), kWindowWaitMs);

        if (byDialog) {
            onNextModal([&](QWidget *modal) {
                QCursor::setPos(m_window->mapToGlobal(QPoint(5, 5))); // outside every row
                pressButton(modal, "btn_cancel");
            });
            first->findChild<QPushButton *>("btn_DeleteItemReady")->click();
            QCOMPARE(m_pdfPage->rowCount(), 8);
        } else {
            list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
        }
        QTRY_VERIFY2(!face->styleSheet().contains("244"), qPrintable(face->styleSheet()));
        QVERIFY(!child<QPushButton>(first, "btn_DeleteItemReady")->isEnabled());
        clearRows();
    }

private:
    DimOverlay *overlay() const { return m_window->findChild<DimOverlay *>(); }

    void clearRows()
    {
        for (QWidget *page :
             {static_cast<QWidget *>(m_pdfPage), static_cast<QWidget *>(m_officePage)}) {
            auto *list = page->findChild<QListWidget *>("MainListWidget");
            while (list->count() > 0)
                delete list->takeItem(0);
        }
    }

    QTemporaryDir m_files;
    std::unique_ptr<MainWindow> m_window;
    PdfToFileWidget *m_pdfPage = nullptr;
    FilesToPdfWidget *m_officePage = nullptr;
};

QTEST_MAIN(WorkspaceOverMainWindowTest)
#include "tst_WorkspaceOverMainWindow.moc"
