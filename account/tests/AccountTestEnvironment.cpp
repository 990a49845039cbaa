#include "AccountTestEnvironment.h"

#include "HttpGet.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "StubServiceServer.h"

#include <QBuffer>
#include <QImage>

void pointServicesAt(const StubServiceServer &plain, const StubServiceServer *secure)
{
    setServiceBaseAddresses(plain.baseAddress(), (secure ? secure : &plain)->baseAddress());
    setRequestTimeoutMs(testRequestTimeoutMs);
}

void clearStoredToken()
{
    writeConfigValue(QStringLiteral("user"), QStringLiteral("token"), QString());
}

QByteArray pngPicture(const QColor &color, int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
