#include "ConversionFormatListItemWidget.h"
#include "ui_ConversionFormatListItemWidget.h"

#include "WorkspaceResources.h"

ConversionFormatListItemWidget::ConversionFormatListItemWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ConversionFormatListItemWidget)
{
    initWorkspaceResources();
    ui->setupUi(this);
}

ConversionFormatListItemWidget::~ConversionFormatListItemWidget()
{
    delete ui;
}

void ConversionFormatListItemWidget::setFormatTexts(const QString &format,
                                                    const QString &description)
{
    m_format = format;
    ui->label->setText(format);
    ui->label2->setText(format);
    ui->label_tips->setText(description);
    ui->label_tips2->setText(description);
}

void ConversionFormatListItemWidget::setSelected(bool selected)
{
    m_selected = selected;
    ui->stackedWidget->setCurrentIndex(selected ? 1 : 0);
}

int ConversionFormatListItemWidget::shownPage() const
{
    return ui->stackedWidget->currentIndex();
}

void ConversionFormatListItemWidget::mouseReleaseEvent(QMouseEvent *)
{
    ui->stackedWidget->setCurrentIndex(1);
    emit ClickButtonSignal(ui->label->text());
}

void ConversionFormatListItemWidget::enterEvent(QEvent *)
{
    ui->stackedWidget->setStyleSheet(
        QStringLiteral("#page,#pageclick{background-color: rgb(240, 245, 255);}"));
}

void ConversionFormatListItemWidget::leaveEvent(QEvent *)
{
    ui->stackedWidget->setStyleSheet(
        QStringLiteral("#page,#pageclick{background-color: rgb(255, 255, 255);}"));
}
