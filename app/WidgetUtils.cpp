#include "WidgetUtils.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

QString elideText(const QFont &font, const QString &text, int width)
{
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(text) < width)
        return text;
    return metrics.elidedText(text, Qt::ElideRight, width);
}

void centerOnWidget(QWidget *widget, QWidget *reference, bool local)
{
    if (!widget || !reference)
        return;
    const QPoint offset((reference->width() - widget->width()) / 2,
                        (reference->height() - widget->height()) / 2);
    widget->move(local ? offset : reference->mapToGlobal(offset));
}

int yaheiTextWidth(const QString &text, int pixelSize)
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(pixelSize);
    return QFontMetrics(font).horizontalAdvance(text);
}

QPixmap roundedPixmap(const QPixmap &picture, const QSize &size, int radius)
{
    if (picture.isNull() || size.isEmpty())
        return QPixmap();
    QPixmap rounded(size);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), radius, radius);
    painter.setClipPath(clip);
    painter.drawPixmap(0, 0, picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return rounded;
}
