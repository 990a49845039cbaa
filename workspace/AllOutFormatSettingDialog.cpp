#include "AllOutFormatSettingDialog.h"
#include "ui_AllOutFormatSettingDialog.h"

#include "AllSettiongItemWidget.h"
#include "OutputFormats.h"
#include "SettingsStore.h"
#include "WorkspaceResources.h"

namespace {
const QString kStoredFormatKey = QStringLiteral("convert/allsettingformat");
}

AllOutFormatSettingDialog::AllOutFormatSettingDialog(QWidget *parent)
    : BaseDialog(parent, false), ui(new Ui::AllOutFormatSettingDialog)
{
    initWorkspaceResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    for (const OutputFormat &format : outputFormats()) {
        AllSettiongItemWidget *item = tile(format.identifier);
        if (!item)
            continue;
        item->setFormatTexts(format.identifier, format.description);
        connect(item, SIGNAL(FormatClickSignal(QString)), this, SLOT(ClickFormatSlots(QString)));
    }
    const QString stored = readConfigValue(kStoredFormatKey);
    selectFormat(stored.isEmpty() ? defaultOutputFormat() : stored);
}

AllOutFormatSettingDialog::~AllOutFormatSettingDialog()
{
    delete ui;
}

AllSettiongItemWidget *AllOutFormatSettingDialog::tile(const QString &format) const
{
    return findChild<AllSettiongItemWidget *>(QStringLiteral("widget_") + format);
}

void AllOutFormatSettingDialog::selectFormat(const QString &format)
{
    m_currentFormat = format;
    for (const OutputFormat &each : outputFormats()) {
        if (AllSettiongItemWidget *item = tile(each.identifier))
            item->setSelected(false);
    }
    for (const OutputFormat &each : outputFormats()) {
        if (each.identifier != format)
            continue;
        if (AllSettiongItemWidget *item = tile(each.identifier))
            item->setSelected(true);
        break;
    }
}

QWidget *AllOutFormatSettingDialog::titleWidget()
{
    return ui->widget;
}

void AllOutFormatSettingDialog::on_btn_close_clicked()
{
    close();
}

void AllOutFormatSettingDialog::ClickFormatSlots(QString format)
{
    if (!format.isEmpty())
        selectFormat(format);
}

void AllOutFormatSettingDialog::on_btn_cancel_clicked()
{
    close();
}

void AllOutFormatSettingDialog::on_btn_ok_clicked()
{
    writeConfigValue(QStringLiteral("convert"), QStringLiteral("allsettingformat"),
                     m_currentFormat);
    emit ClickAllSettingFormatSignal(m_currentFormat);
    close();
}
