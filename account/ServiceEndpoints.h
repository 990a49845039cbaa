#pragma once

#include <QString>

// Where the maker's web service lives. Every request of the account services builds its
// address here, so a packager or a test can point the whole program at another host.
// Reports and account requests go over plain http; the configuration request over https.

QString serviceBaseAddress();
QString secureServiceBaseAddress();
// Both without a trailing slash, such as "http://127.0.0.1:8080".
void setServiceBaseAddresses(const QString &plainBase, const QString &secureBase);

// The plain or the secure base address followed by path ("/v1/user/info").
QString serviceUrl(const QString &path);
QString secureServiceUrl(const QString &path);
