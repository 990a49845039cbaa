#pragma once

#include "ModalDriver.h"
#include "OpenedUrls.h"
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

// Also takes away a folder that a test put in the settings file's place.
inline void clearSettings()
{
    QDir(configFilePath()).removeRecursively();
    QFile::remove(configFilePath());
}

using ::child;
using ::onNextModal;
using ::OpenedUrls;
using ::pressButton;
using ::pressInNextModal;

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

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &content = "content")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace WorkspaceTest
