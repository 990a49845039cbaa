#include "ServiceEndpoints.h"

namespace {

struct ServiceAddresses
{
    QString plain = QStringLiteral(QUORVANE_SERVICE_HTTP_BASE);
    QString secure = QStringLiteral(QUORVANE_SERVICE_HTTPS_BASE);
};

ServiceAddresses &addresses()
{
    static ServiceAddresses current;
    return current;
}

} // namespace

QString serviceBaseAddress()
{
    return addresses().plain;
}

QString secureServiceBaseAddress()
{
    return addresses().secure;
}

void setServiceBaseAddresses(const QString &plainBase, const QString &secureBase)
{
    addresses().plain = plainBase;
    addresses().secure = secureBase;
}

QString serviceUrl(const QString &path)
{
    return serviceBaseAddress() + path;
}

QString secureServiceUrl(const QString &path)
{
    return secureServiceBaseAddress() + path;
}
