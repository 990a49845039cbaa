#include "AboutDialog.h"
#include "AllOutFormatSettingDialog.h"
#include "ConversionFormatDorpDown.h"
#include "ConversionFormatWidget.h"
#include "ConverterItemWidget.h"
#include "WindowWaits.h"
#include "MainWindow.h"
#include "MemberCenterDialog.h"
#include "MessageBoxDialog.h"
#include "MoreDialog.h"
#include "QuorvaneItemWidget.h"
#include "ServiceEndpoints.h"
#include "StartDialog.h"
#include "TextFit.h"
#include "WechatLoginDialog.h"

#include <QtTest>

#include <functional>
#include <memory>

using MakeForm = std::function<QWidget *()>;
Q_DECLARE_METATYPE(MakeForm)

// Every form of Quorvane, shown as the user first sees it: each text it gives, and each
// picture of a fixed size, shows whole in the font that is really drawn with.
class FormTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Nothing listens there: the forms that ask the service get no answer.
        setServiceBaseAddresses("http://127.0.0.1:9", "https://127.0.0.1:9");
    }

    void formTextsShowWhole_data()
    {
        QTest::addColumn<MakeForm>("make");
        QTest::newRow("main window with its pages")
            << MakeForm([] { return new MainWindow(nullptr); });
        QTest::newRow("PDF-to-file row") << MakeForm([] { return new QuorvaneItemWidget; });
        QTest::newRow("file-to-PDF row") << MakeForm([] { return new ConverterItemWidget; });
        QTest::newRow("format drop-down") << MakeForm([] { return new ConversionFormatDorpDown; });
        QTest::newRow("format popup") << MakeForm([] {
            auto *popup = new ConversionFormatWidget;
            popup->selectFormat("doc");
            return popup;
        });
        QTest::newRow("set-all dialog") << MakeForm([] { return new AllOutFormatSettingDialog; });
        QTest::newRow("message box") << MakeForm([] { return new MessageBoxDialog(nullptr); });
        QTest::newRow("about box") << MakeForm([] { return new AboutDialog(nullptr); });
        QTest::newRow("more menu") << MakeForm([] { return new MoreDialog(nullptr, "http://x"); });
        QTest::newRow("splash") << MakeForm([] { return new StartDialog(nullptr); });
        QTest::newRow("sign-in dialog") << MakeForm([] { return new WechatLoginDialog(nullptr); });
        QTest::newRow("account centre") << MakeForm([] { return new MemberCenterDialog(nullptr); });
    }

    void formTextsShowWhole()
    {
        QFETCH(MakeForm, make);
        std::unique_ptr<QWidget> form(make());
        form->show();
        QVERIFY(waitForExposed(form.get()));
        const QStringList clipped = TextFit::clippedTexts(form.get());
        QVERIFY2(clipped.isEmpty(), qPrintable("\n" + clipped.join('\n')));
    }
};

QTEST_MAIN(FormTextsTest)
#include "tst_FormTexts.moc"
