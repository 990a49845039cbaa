#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal dialog as soon as it runs its own event loop. Gives up after a
// few seconds, so a dialog that never comes cannot hold the test.
inline void onNextModal(const std::function<void(QWidget *)> &action, int timeoutMs = 5000)
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

// Presses the button named buttonName of the next modal dialog.
inline void pressInNextModal(const QString &buttonName, int timeoutMs = 5000)
{
    onNextModal(
        [buttonName](QWidget *modal) {
            if (auto *button = modal->findChild<QPushButton *>(buttonName))
                button->click();
        },
        timeoutMs);
}

template <typename T> T *child(const QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

// The visible top-level window of class T, if any.
template <typename T> T *visibleTopLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *match = qobject_cast<T *>(widget); match && match->isVisible())
            return match;
    }
    return nullptr;
}
