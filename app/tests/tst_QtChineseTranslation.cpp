#include "QtChineseTranslation.h"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// Qt's own file and folder dialogs, as the pages open them, in Chinese once the program has
// installed Qt's translation.
class QtChineseTranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installQtChineseTranslation(*qApp)); }

    void qtDialogsSpeakChinese_data()
    {
        QTest::addColumn<bool>("folders");
        QTest::addColumn<QString>("accept");
        QTest::newRow("the output folder dialog") << true << "选择(&C)";
        QTest::newRow("the add-files dialog") << false << "打开(&O)";
    }

    void qtDialogsSpeakChinese()
    {
        QFETCH(bool, folders);
        QFETCH(QString, accept);
        QFileDialog dialog(nullptr, QString(), QDir::tempPath());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (folders) {
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
        } else {
            dialog.setFileMode(QFileDialog::ExistingFiles);
            dialog.setViewMode(QFileDialog::Detail);
        }
        QStringList buttons;
        for (const QPushButton *button : dialog.findChildren<QPushButton *>())
            buttons << button->text();
        QVERIFY2(buttons.contains(accept), qPrintable(buttons.join(", ")));
        QVERIFY2(buttons.contains("取消"), qPrintable(buttons.join(", ")));
        QCOMPARE(dialog.findChild<QLabel *>("lookInLabel")->text(), QString("查找范围："));
    }
};

QTEST_MAIN(QtChineseTranslationTest)
#include "tst_QtChineseTranslation.moc"
