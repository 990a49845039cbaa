#include "ShadowWindow.h"
#include "ui_ShadowWindow.h"

ShadowWindow::ShadowWindow(QWidget *parent) : QFrame(parent), ui(new Ui::ShadowWindow)
{
    ui->setupUi(this);
}

ShadowWindow::~ShadowWindow()
{
    delete ui;
}

void ShadowWindow::setDarkStyle()
{
    setStyleSheet(QStringLiteral("background: rgba(0,0,0,0.64);"));
}
