#pragma once

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QString>
#include <QtTest>

// Reading back what an X server of the test's own shows.
namespace ScreenReading {

inline QImage screenImage()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

// Reads the screen until two reads a little apart agree, everything painted and the X server
// caught up with it; false when it never settles.
inline bool readSettledScreen(QImage &screen)
{
    QImage previous;
    for (const QDeadlineTimer deadline(10000); !deadline.hasExpired();) {
        QTest::qWait(100);
        screen = screenImage();
        if (screen == previous)
            return true;
        previous = screen;
    }
    return false;
}

inline QString describe(QRgb pixel)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

} // namespace ScreenReading
