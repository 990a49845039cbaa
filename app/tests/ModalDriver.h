#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtTest/qtestcase.h>

#include <functional>

// Answers the modal dialogs that a test's action opens, and makes sure that each one ends.
// A modal dialog runs an event loop of its own: an assertion that gives up inside an answer,
// or a button looked for under a name it does not have, would otherwise leave the dialog
// open and the test waiting until the test runner's time limit, without a word. Instead the
// dialog is closed and the test fails, saying why, within seconds. A dialog that never comes
// is no failure here: the test checks what it expected to happen.
namespace ModalDriver {

inline QString describe(const QWidget *modal)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(modal->metaObject()->className()), modal->objectName());
}

// Ends a dialog that its answer left open, and fails the running test.
inline void closeAsFailed(QWidget *modal, const QString &why)
{
    const QString message = describe(modal) + QStringLiteral(" was closed by the test: ") + why;
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else
        modal->close();
}

// Calls handle with the next modal dialog once it runs its event loop, looking for it for
// timeoutMs.
inline void whenNextModalRuns(const std::function<void(QWidget *)> &handle, int timeoutMs)
{
    auto *poll = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, handle, deadline] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal && !deadline.hasExpired())
            return;
        // Stopped first: the handler may wait on something itself.
        poll->stop();
        poll->deleteLater();
        if (modal)
            handle(modal);
    });
    poll->start(20);
}

} // namespace ModalDriver

// Acts on the next modal dialog as soon as it runs; the action ends it (presses one of its
// buttons, closes it). Checks of what the dialog showed belong after the dialog, on what the
// action noted down.
inline void onNextModal(const std::function<void(QWidget *)> &action, int timeoutMs = 5000)
{
    ModalDriver::whenNextModalRuns(
        [action](QWidget *modal) {
            const QPointer<QWidget> dialog(modal);
            action(modal);
            if (dialog && dialog->isVisible())
                ModalDriver::closeAsFailed(dialog, QStringLiteral("it was still open after the "
                                                                  "test's answer"));
        },
        timeoutMs);
}

// Presses the button named buttonName of a modal dialog, inside an answer.
inline void pressButton(QWidget *modal, const QString &buttonName)
{
    if (auto *button = modal->findChild<QPushButton *>(buttonName))
        button->click();
    else
        ModalDriver::closeAsFailed(modal,
                                   QStringLiteral("it has no button \"%1\"").arg(buttonName));
}

// Presses the button named buttonName of the next modal dialog.
inline void pressInNextModal(const QString &buttonName, int timeoutMs = 5000)
{
    onNextModal([buttonName](QWidget *modal) { pressButton(modal, buttonName); }, timeoutMs);
}

// Looks at the next modal dialog and lets it run on, as it ends by itself (a sign-in that
// succeeds, a splash on its timer). One still open closeAfterMs after it came is closed.
inline void watchNextModal(const std::function<void(QWidget *)> &look, int closeAfterMs,
                           int timeoutMs = 5000)
{
    ModalDriver::whenNextModalRuns(
        [look, closeAfterMs](QWidget *modal) {
            look(modal);
            const QPointer<QWidget> dialog(modal);
            QTimer::singleShot(closeAfterMs, qApp, [dialog, closeAfterMs] {
                if (dialog && dialog->isVisible())
                    ModalDriver::closeAsFailed(
                        dialog,
                        QStringLiteral("it did not end by itself within %1 ms").arg(closeAfterMs));
            });
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
