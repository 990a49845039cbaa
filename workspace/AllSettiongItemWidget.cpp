#include "AllSettiongItemWidget.h"
#include "ui_AllSettiongItemWidget.h"

#include "WorkspaceResources.h"

AllSettiongItemWidget::AllSettiongItemWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::AllSettiongItemWidget)
{
    initWorkspaceResources();
    ui->setupUi(this);
}

AllSettiongItemWidget::~AllSettiongItemWidget()
{
    delete ui;
}

void AllSettiongItemWidget::setFormatTexts(const QString &format, const QString &description)
{
    ui->label->setText(format);
    ui->label_2->setText(format);
    ui->label_tips->setText(description);
    ui->label_tips_2->setText(description);
}

void AllSettiongItemWidget::setSelected(bool selected)
{
    m_selected = selected;
    ui->stackedWidget->setCurrentIndex(selected ? 1 : 0);
}

int AllSettiongItemWidget::shownPage() const
{
    return ui->stackedWidget->currentIndex();
}

void AllSettiongItemWidget::mouseReleaseEvent(QMouseEvent *)
{
    ui->stackedWidget->setCurrentIndex(1);
    emit FormatClickSignal(ui->label->text());
}

void AllSettiongItemWidget::enterEvent(QEvent *)
{
    ui->stackedWidget->setStyleSheet(QStringLiteral("#stackedWidget{background: #FBFBFB;}"));
}

void AllSettiongItemWidget::leaveEvent(QEvent *)
{
    ui->stackedWidget->setStyleSheet(QStringLiteral("#stackedWidget{background: #FFFFFF;}"));
}
