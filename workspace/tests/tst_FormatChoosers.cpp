#include "AllOutFormatSettingDialog.h"
#include "AllSettiongItemWidget.h"
#include "ConversionFormatDorpDown.h"
#include "ConversionFormatListItemWidget.h"
#include "ConversionFormatWidget.h"
#include "OutputFormats.h"
#include "SettingsStore.h"
#include "WorkspaceTestSupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace WorkspaceTest;

// The format drop-down with its popup list, and the set-all dialog with its tiles.
class FormatChoosersTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void popupListsTheTwelveFormatsInOrder()
    {
        ConversionFormatWidget popup;
        const QStringList expected = {"docx", "doc", "xlsx", "xls", "pptx", "ppt",
                                      "png",  "jpg", "jpeg", "bmp", "txt",  "html"};
        QCOMPARE(popup.itemCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(popup.item(i)->format(), expected.at(i));
        QCOMPARE(child<QLabel>(popup.item(8), "label_tips")->text(), QString("常见图片格式"));

        popup.addFormatItem("", "no identifier");
        popup.addFormatItem("odt", "");
        QCOMPARE(popup.itemCount(), expected.size());
    }

    void dropDownOpensOneReusedPopupUnderItself()
    {
        QWidget window;
        window.resize(300, 200);
        auto *dropDown = new ConversionFormatDorpDown(&window);
        dropDown->move(40, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(dropDown->format(), QString("docx"));
        QVERIFY(!dropDown->popup());

        QTest::mouseClick(dropDown, Qt::LeftButton);
        ConversionFormatWidget *popup = dropDown->popup();
        QVERIFY(popup);
        QVERIFY(popup->isVisible());
        const QPoint corner = dropDown->mapToGlobal(QPoint(0, 0));
        QCOMPARE(popup->pos(), QPoint(corner.x() - 4, corner.y() + 18));
        QCOMPARE(popup->selectedFormat(), QString("docx"));

        popup->hide();
        QTest::mouseClick(dropDown, Qt::RightButton);
        QCOMPARE(dropDown->popup(), popup);
        QVERIFY(popup->isVisible());
        popup->hide();
    }

    void popupMarksOnlyTheExactIdentifier_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("markedRow"); // -1: none
        QTest::newRow("jpeg, not its look-alikes") << "jpeg" << 8;
        QTest::newRow("docx") << "docx" << 0;
        QTest::newRow("upper case matches nothing") << "PNG" << -1;
        QTest::newRow("outside the table") << "odt" << -1;
    }

    void popupMarksOnlyTheExactIdentifier()
    {
        QFETCH(QString, shown);
        QFETCH(int, markedRow);
        ConversionFormatDorpDown dropDown;
        dropDown.setFormat(shown);
        QTest::mouseClick(&dropDown, Qt::LeftButton);
        ConversionFormatWidget *popup = dropDown.popup();
        for (int i = 0; i < popup->itemCount(); ++i) {
            QCOMPARE(popup->item(i)->isSelected(), i == markedRow);
            QCOMPARE(popup->item(i)->shownPage(), i == markedRow ? 1 : 0);
        }
        popup->hide();
    }

    void choosingInThePopupSetsAndAnnouncesTheFormat()
    {
        ConversionFormatDorpDown dropDown;
        QSignalSpy changed(&dropDown, SIGNAL(FormatChangedSignal(QString)));
        QTest::mouseClick(&dropDown, Qt::LeftButton);
        ConversionFormatWidget *popup = dropDown.popup();

        QTest::mouseClick(popup->item(6), Qt::LeftButton);
        QCOMPARE(dropDown.format(), QString("png"));
        QVERIFY(!popup->isVisible());

        // Choosing the shown format again still announces it.
        QTest::mouseClick(&dropDown, Qt::LeftButton);
        QTest::mouseClick(popup->item(6), Qt::LeftButton);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toString(), QString("png"));
        QVERIFY(popup->item(6)->isSelected());
        QVERIFY(!popup->item(0)->isSelected());

        popup->ClickFromatButtonSlot(QString());
        QCOMPARE(changed.count(), 2);
    }

    void setFormatAlwaysAnnouncesWhatItShows()
    {
        ConversionFormatDorpDown dropDown;
        QSignalSpy changed(&dropDown, SIGNAL(FormatChangedSignal(QString)));
        dropDown.setFormat("docx");
        dropDown.setFormat("odt");
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toString(), QString("odt"));
        QCOMPARE(dropDown.format(), QString("odt"));
    }

    void disabledDropDownKeepsItsLookUnderThePointer()
    {
        ConversionFormatDorpDown dropDown;
        auto *frame = child<QWidget>(&dropDown, "widget");
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);

        QApplication::sendEvent(&dropDown, &enter);
        QVERIFY(frame->styleSheet().contains("#389BFD"));
        QApplication::sendEvent(&dropDown, &leave);
        QVERIFY(frame->styleSheet().contains("btn_choice_undisable.png"));

        dropDown.setEnabledLook(false);
        const QString disabledLook = frame->styleSheet();
        QVERIFY(disabledLook.contains("rgba(51, 51, 51, 150)"));
        QApplication::sendEvent(&dropDown, &enter);
        QCOMPARE(frame->styleSheet(), disabledLook);

        dropDown.setEnabledLook(true);
        QVERIFY(frame->isEnabled());
        QVERIFY(frame->styleSheet().contains("btn_choice.png"));
    }

    void setAllDialogPreselectsTheStoredFormat_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("marked"); // "" when no tile
        QTest::newRow("nothing stored") << ""
                                        << "docx";
        QTest::newRow("jpeg, not jpg or bmp") << "jpeg"
                                              << "jpeg";
        QTest::newRow("edited by hand") << "odt"
                                        << "";
    }

    void setAllDialogPreselectsTheStoredFormat()
    {
        QFETCH(QString, stored);
        QFETCH(QString, marked);
        if (!stored.isEmpty())
            writeConfigValue("convert", "allsettingformat", stored);
        AllOutFormatSettingDialog dialog(nullptr);
        for (const OutputFormat &format : outputFormats()) {
            AllSettiongItemWidget *tile = dialog.tile(format.identifier);
            QVERIFY2(tile, qPrintable(format.identifier));
            QCOMPARE(tile->isSelected(), format.identifier == marked);
            QCOMPARE(child<QLabel>(tile, "label_tips")->text(), format.description);
        }
        QCOMPARE(dialog.currentFormat(), stored.isEmpty() ? QString("docx") : stored);
    }

    void setAllDialogStoresAndAnnouncesOnlyOnOk_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expectedStored");
        QTest::newRow("ok") << "btn_ok"
                            << "txt";
        QTest::newRow("cancel") << "btn_cancel"
                                << "";
        QTest::newRow("close") << "btn_close"
                               << "";
    }

    void setAllDialogStoresAndAnnouncesOnlyOnOk()
    {
        QFETCH(QString, button);
        QFETCH(QString, expectedStored);
        AllOutFormatSettingDialog dialog(nullptr);
        QSignalSpy chosen(&dialog, SIGNAL(ClickAllSettingFormatSignal(QString)));
        dialog.show();
        QTest::mouseClick(dialog.tile("pptx"), Qt::LeftButton);
        QTest::mouseClick(dialog.tile("txt"), Qt::LeftButton);
        for (const OutputFormat &format : outputFormats())
            QCOMPARE(dialog.tile(format.identifier)->isSelected(), format.identifier == "txt");

        child<QPushButton>(&dialog, qPrintable(button))->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(readConfigValue("convert/allsettingformat"), expectedStored);
        QCOMPARE(chosen.count(), expectedStored.isEmpty() ? 0 : 1);
        if (!expectedStored.isEmpty())
            QCOMPARE(chosen.at(0).at(0).toString(), expectedStored);
    }

    // The close pictures are 48 pixels square, drawn whole into the 24-pixel button.
    void setAllCloseButtonPictures()
    {
        for (const char *picture :
             {"icon_public_close", "icon_public_close_hover", "icon_public_close_press"})
            QCOMPARE(QImage(QString(":/Resources/public/%1.png").arg(picture)).size(),
                     QSize(48, 48));
        AllOutFormatSettingDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *close = child<QPushButton>(&dialog, "btn_close");
        QCOMPARE(close->size(), QSize(24, 24));
        const QImage drawn = close->grab().toImage();
        QRect cross;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                if (qAlpha(drawn.pixel(x, y)) > 128)
                    cross |= QRect(x, y, 1, 1);
            }
        }
        QVERIFY2(cross.width() >= 8 && cross.height() >= 8, "no cross drawn");
        QVERIFY2(close->rect().adjusted(2, 2, -2, -2).contains(cross), "the cross is cut");
    }

    void okWithoutAClickStoresTheDefault()
    {
        AllOutFormatSettingDialog dialog(nullptr);
        QSignalSpy chosen(&dialog, SIGNAL(ClickAllSettingFormatSignal(QString)));
        dialog.on_btn_ok_clicked();
        QCOMPARE(readConfigValue("convert/allsettingformat"), QString("docx"));
        QCOMPARE(chosen.count(), 1);
    }
};

QTEST_MAIN(FormatChoosersTest)
#include "tst_FormatChoosers.moc"
