#pragma once

#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>

class QWidget;

// The text unchanged when it fits in width pixels, else cut on the right with an ellipsis.
QString elideText(const QFont &font, const QString &text, int width);
// Centres widget over reference; local keeps the offset in the reference's coordinates.
void centerOnWidget(QWidget *widget, QWidget *reference, bool local);
int yaheiTextWidth(const QString &text, int pixelSize);
QPixmap roundedPixmap(const QPixmap &picture, const QSize &size, int radius);
