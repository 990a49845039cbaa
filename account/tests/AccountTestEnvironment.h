#pragma once

#include <QByteArray>
#include <QColor>

class StubServiceServer;

// Points every account request at the stand-in servers (secure may be null: then the plain
// one serves both) and shortens the request bound so hung replies end quickly.
void pointServicesAt(const StubServiceServer &plain, const StubServiceServer *secure = nullptr);

constexpr int testRequestTimeoutMs = 1500;

// Forgets the stored token (a fresh test starts signed out).
void clearStoredToken();

// A small PNG picture, as the service would hand out for a QR code.
QByteArray pngPicture(const QColor &color, int side = 64);
