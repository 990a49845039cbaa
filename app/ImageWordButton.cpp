#include "ImageWordButton.h"
#include "ui_ImageWordButton.h"

#include <QMouseEvent>

ImageWordButton::ImageWordButton(QWidget *parent) : QWidget(parent), ui(new Ui::ImageWordButton)
{
    ui->setupUi(this);
}

ImageWordButton::~ImageWordButton()
{
    delete ui;
}

void ImageWordButton::setText(const QString &text)
{
    ui->label_text->setText(text);
}

QString ImageWordButton::text() const
{
    return ui->label_text->text();
}

void ImageWordButton::applyStyle(const QString &style)
{
    ui->widget->setStyleSheet(style);
}

QString ImageWordButton::currentStyle() const
{
    return ui->widget->styleSheet();
}

void ImageWordButton::setNormalStyle(const QString &style)
{
    normal = style;
    applyStyle(normal);
}

void ImageWordButton::setHoverStyle(const QString &style)
{
    hover = style;
}

void ImageWordButton::setPressedStyle(const QString &style)
{
    pressed = style;
}

void ImageWordButton::setSelectedStyle(const QString &style)
{
    selected = style;
}

void ImageWordButton::setHoverEnabled(bool enabled)
{
    feedbackOn = enabled;
    applyStyle(enabled ? normal : selected);
}

void ImageWordButton::setFrameVisible(bool visible)
{
    ui->widget->setVisible(visible);
}

void ImageWordButton::enterEvent(QEvent *event)
{
    if (feedbackOn)
        applyStyle(hover);
    QWidget::enterEvent(event);
}

void ImageWordButton::leaveEvent(QEvent *event)
{
    if (feedbackOn)
        applyStyle(normal);
    QWidget::leaveEvent(event);
}

void ImageWordButton::mousePressEvent(QMouseEvent *)
{
    if (feedbackOn)
        applyStyle(pressed);
}

void ImageWordButton::mouseReleaseEvent(QMouseEvent *event)
{
    // Hidden only by setFrameVisible(false), not by the button being off screen.
    if (!ui->widget->isHidden()) {
        const QPoint position = event->localPos().toPoint();
        const QRect bounds(0, 0, width() + 1, height() + 1); // edges included
        if (bounds.contains(position))
            emit ClickButtonSignal();
    }
    QWidget::mouseReleaseEvent(event);
}
