#pragma once

#include <QJsonObject>

class QNetworkReply;

// The check every reply of the web service goes through before a request reads its keys:
// no network error, HTTP status 200, and a body that parses as a non-empty JSON object.
// Returns false on any failure; object receives the top-level object on success.
bool evaluateServiceReply(QNetworkReply *reply, QJsonObject *object);

// "code" present, a JSON number, and equal to 0; a string "0" does not count.
bool hasZeroCode(const QJsonObject &object);
