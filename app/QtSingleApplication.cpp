#include "QtSingleApplication.h"

#include "InstanceLock.h"

#include <QCryptographicHash>

namespace {

// Without an explicit id, copies of one program installed in one place share a lock.
QString instanceKey(const QString &executablePath)
{
    const QByteArray digest =
        QCryptographicHash::hash(executablePath.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("quorvane-single-") + QString::fromLatin1(digest.left(16));
}

} // namespace

QtSingleApplication::QtSingleApplication(int &argc, char **argv, bool GUIenabled)
    : QApplication(argc, argv, GUIenabled),
      m_lock(std::make_unique<InstanceLock>(instanceKey(applicationFilePath())))
{
}

QtSingleApplication::~QtSingleApplication() = default;

bool QtSingleApplication::isRunning() const
{
    return m_lock->isHeldElsewhere();
}
