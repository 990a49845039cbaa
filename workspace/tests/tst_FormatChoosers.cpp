#include "AllOutFormatSettingDialog.h"
#include "AllSettiongItemWidget.h"
#include "ConversionFormatDorpDown.h"
#include "ConversionFormatListItemWidget.h"
#include "ConversionFormatWidget.h"
#include "WindowWaits.h"
#include "SettingsStore.h"
#include "WorkspaceTestSupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <utility>

using namespace WorkspaceTest;

namespace {

// The twelve formats a user can choose, in their order, with the texts shown for them.
const QList<std::pair<QString, QString>> chosenFormats = {
    {"docx", "Word文件"},         {"doc", "Word 97-2003文件"}, {"xlsx", "Excel文件"},
    {"xls", "Excel 97-2003文件"}, {"pptx", "PPT文件"},         {"ppt", "PPT 97-2003文件"},
    {"png", "无损压缩图片格式"},  {"jpg", "常见图片格式"},     {"jpeg", "常见图片格式"},
    {"bmp", "常见图片格式"},      {"txt", "Windows文本格式"},  {"html", "网页格式"},
};

// The texts of a popup item or set-all tile, by the names of its labels.
QStringList labelTexts(const QWidget *choice, const QList<const char *> &names)
{
    QStringList texts;
    for (const char *name : names) {
        auto *label = child<QLabel>(choice, name);
        texts << (label ? label->text() : QString("<no %1>").arg(name));
    }
    return texts;
}

} // namespace

// The format drop-down with its popup list, and the set-all dialog with its tiles.
class FormatChoosersTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void popupListsTheTwelveFormatsInOrder()
    {
        ConversionFormatWidget popup;
        QCOMPARE(popup.itemCount(), chosenFormats.size());
        for (int i = 0; i < chosenFormats.size(); ++i) {
            const auto &[identifier, description] = chosenFormats.at(i);
            QCOMPARE(popup.item(i)->format(), identifier);
            // The identifier and its description, in the normal and the selected look.
            QCOMPARE(labelTexts(popup.item(i), {"label", "label2", "label_tips", "label_tips2"}),
                     QStringList({identifier, identifier, description, description}));
        }

        popup.addFormatItem("", "no identifier");
        popup.addFormatItem("odt", "");
        QCOMPARE(popup.itemCount(), chosenFormats.size());
    }

    void dropDownOpensOneReusedPopupUnderItself()
    {
        QWidget window;
        window.resize(300, 200);
        auto *dropDown = new ConversionFormatDorpDown(&window);
        dropDown->move(40, 50);
        window.show();
        QVERIFY(waitForExposed(&window));
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
        for (const auto &[identifier, description] : chosenFormats) {
            AllSettiongItemWidget *tile = dialog.tile(identifier);
            QVERIFY2(tile, qPrintable(identifier));
            QCOMPARE(tile->isSelected(), identifier == marked);
            QCOMPARE(labelTexts(tile, {"label", "label_2", "label_tips", "label_tips_2"}),
                     QStringList({identifier, identifier, description, description}));
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
        for (const auto &format : chosenFormats)
            QCOMPARE(dialog.tile(format.first)->isSelected(), format.first == "txt");

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
        QVERIFY(waitForExposed(&dialog));
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
