#include "MoreDialog.h"
#include "ui_MoreDialog.h"

#include <QDesktopServices>
#include <QUrl>

MoreDialog::MoreDialog(QWidget *parent, const QString &serviceUrl)
    : BaseDialog(parent, false), ui(new Ui::MoreDialog), customerServiceUrl(serviceUrl)
{
    ui->setupUi(this);
    enableShadow(true);
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
}

MoreDialog::~MoreDialog()
{
    delete ui;
}

QWidget *MoreDialog::titleWidget()
{
    return ui->widgeMain;
}

void MoreDialog::on_btn_KeFu_clicked()
{
    close();
    QDesktopServices::openUrl(QUrl(customerServiceUrl, QUrl::TolerantMode));
}

void MoreDialog::on_btn_About_clicked()
{
    emit ShowAboutWndSignal();
    close();
}
