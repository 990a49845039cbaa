#pragma once

#include "StubServiceServer.h"

#include <QByteArray>
#include <QColor>
#include <QHash>

// The request bound in these tests. A request that the stand-in answers never runs into it,
// however busy the machine, so it is a safety net only; a case that wants a request to run
// out (a service that never answers) sets hungRequestTimeoutMs for it.
constexpr int testRequestTimeoutMs = 60000;
constexpr int hungRequestTimeoutMs = 1500;
// The bound of a wait for what a request brings: beyond the request's own bound, so that a
// request that ran out shows as what it brought.
constexpr int testWaitMs = testRequestTimeoutMs + 30000;

// Points every account request at the stand-in servers (secure may be null: then the plain
// one serves both) and sets the request bound to testRequestTimeoutMs.
void pointServicesAt(const StubServiceServer &plain, const StubServiceServer *secure = nullptr);

// Sets the bound of the requests to come for a service giving reply: hungRequestTimeoutMs
// when it never answers, so that the case ends soon, else testRequestTimeoutMs.
void setRequestTimeoutFor(const StubServiceServer::Reply &reply);

// The most a request that runs into a bound of boundMs may take: the bound, and a generous
// multiple of what a request that is answered at once costs now (asked of a stand-in of its
// own), so that the claim holds on a machine as busy as this one is at the moment.
qint64 mostTakenByRequestBoundTo(int boundMs);
// The most a request to a service giving reply may take: an answered or dropped one ends
// before its bound, one never answered at its bound.
qint64 mostTakenByRequestFor(const StubServiceServer::Reply &reply);

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
