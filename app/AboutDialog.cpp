#include "AboutDialog.h"
#include "ui_AboutDialog.h"

namespace {

const char kProductName[] = "Quorvane";
const char kProductVersion[] = "5.16.1.0";

} // namespace

AboutDialog::AboutDialog(QWidget *parent) : BaseDialog(parent, false), ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->label_ProgramName->setText(QString::fromUtf8(kProductName));
    ui->label_version->setText(QStringLiteral("版本：") + QString::fromUtf8(kProductVersion));
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

QWidget *AboutDialog::titleWidget()
{
    return ui->widget;
}

void AboutDialog::on_btn_close_clicked()
{
    close();
}
