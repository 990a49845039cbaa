#pragma once

#include "ServiceEndpoints.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWidget>

// Helpers shared by the workspace tests.
namespace WorkspaceTest {

// The account services fetch the user's details when first asked for the main window; keep
// that on the loopback interface, where nothing listens.
inline void keepServicesOnLoopback()
{
    setServiceBaseAddresses(QStringLiteral("http://127.0.0.1:9"),
                            QStringLiteral("https://127.0.0.1:9"));
}

inline void clearSettings()
{
    QFile::remove(configFilePath());
}

// Presses the button named buttonName of the next modal dialog as soon as it runs. Gives up
// after a few seconds, so a dialog that never comes cannot hold the test.
inline void pressInNextModal(const QString &buttonName, int timeoutMs = 5000)
{
    auto *poll = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, buttonName, deadline] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal) {
            if (auto *button = modal->findChild<QPushButton *>(buttonName))
                button->click();
        }
        if (modal || deadline.hasExpired())
            poll->deleteLater();
    });
    poll->start(20);
}

// Runs action on the next modal dialog (any class) as soon as it runs.
template <typename Action> void onNextModal(Action action, int timeoutMs = 5000)
{
    auto *poll = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, deadline] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal)
            action(modal);
        if (modal || deadline.hasExpired())
            poll->deleteLater();
    });
    poll->start(20);
}

inline void dropUrls(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    // A drop reaches only the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

inline bool writeFile(const QString &path, const QByteArray &content = "content")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Catches what the program hands to the desktop to open.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

template <typename T> T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

} // namespace WorkspaceTest
