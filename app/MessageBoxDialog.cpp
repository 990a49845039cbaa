#include "MessageBoxDialog.h"
#include "ui_MessageBoxDialog.h"

MessageBoxDialog::MessageBoxDialog(QWidget *parent)
    : BaseDialog(parent, false), ui(new Ui::MessageBoxDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
}

MessageBoxDialog::~MessageBoxDialog()
{
    delete ui;
}

void MessageBoxDialog::setMessage(const QString &text, const QString &tips)
{
    ui->label->setText(text);
    ui->label_tips->setText(tips);
}

void MessageBoxDialog::setCancelButtonVisible(bool visible)
{
    ui->btn_cancel->setVisible(visible);
}

QWidget *MessageBoxDialog::titleWidget()
{
    return ui->widget;
}

void MessageBoxDialog::on_btn_close_clicked()
{
    reject();
}

void MessageBoxDialog::on_btn_ok_clicked()
{
    accept();
}

void MessageBoxDialog::on_btn_cancel_clicked()
{
    reject();
}
