#include "StartDialog.h"
#include "ui_StartDialog.h"

#include "MainWindowResources.h"

#include <QTimer>

StartDialog::StartDialog(QWidget *parent) : BaseDialog(parent, false), ui(new Ui::StartDialog)
{
    initMainWindowResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    enableShadow(true);
    ui->label->setText(QStringLiteral("Quorvane"));

    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &StartDialog::CloseMe);
    timer->start(1000);
}

StartDialog::~StartDialog()
{
    delete ui;
}

void StartDialog::CloseMe()
{
    close();
}

QWidget *StartDialog::titleWidget()
{
    return ui->widgeMain;
}
