#pragma once

#include "StubServiceServer.h"

#include <QByteArray>
#include <QColor>
#include <QHash>

// Points every account request at the stand-in servers (secure may be null: then the plain
// one serves both) and shortens the request bound so hung replies end quickly.
void pointServicesAt(const StubServiceServer &plain, const StubServiceServer *secure = nullptr);

constexpr int testRequestTimeoutMs = 1500;

// Forgets the stored token (a fresh test starts signed out).
void clearStoredToken();

// The headers of the service ("Content-Type", "app_id", "channel", "device_id",
// "Authorization", "version") that a request carried, one "name=value" line each in a fixed
// order; a header that was not sent has no line, so comparing also catches one too many.
QByteArray sentServiceHeaders(const StubServiceServer::Request &request);
// The same text for a request that carries the JSON Content-Type and exactly headers.
QByteArray serviceHeadersWith(const QHash<QByteArray, QByteArray> &headers = {});

// A small PNG picture, as the service would hand out for a QR code.
QByteArray pngPicture(const QColor &color, int side = 64);
