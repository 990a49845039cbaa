#pragma once

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QString>
#include <QtTest>

#include <functional>

// Reading back what an X server of the test's own shows.
namespace ScreenReading {

inline QImage screenImage()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

// Reads the screen until two reads a little apart agree, everything painted and the X server
// caught up with it, and ready says the screen shows what another client (a compositing
// manager, which a busy machine runs late) was to draw; false when that never comes. The
// bound is a safety net only.
inline bool readSettledScreen(QImage &screen,
                              const std::function<bool(const QImage &)> &ready = nullptr)
{
    QImage previous;
    for (const QDeadlineTimer deadline(60000); !deadline.hasExpired();) {
        QTest::qWait(100);
        screen = screenImage();
        if (screen == previous && (!ready || ready(screen)))
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
