#include "BaseDialog.h"

#include "CShadowWindow.h"
#include "ShellResources.h"

#include <QMouseEvent>

namespace {

constexpr uint32_t kShadowColor = 0x5F5D5C; // red 92, green 93, blue 95 as a COLORREF
constexpr unsigned kShadowDarkness = 100;
constexpr int kShadowSize = 5;
constexpr int kShadowOffset = 1;
constexpr int kShadowSharpness = 19;

} // namespace

BaseDialog::BaseDialog(QWidget *parent, bool shadow) : QDialog(parent)
{
    initShellResources();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    if (shadow)
        setAttribute(Qt::WA_TranslucentBackground);
    enableShadow(shadow);
}

BaseDialog::~BaseDialog()
{
    delete shadowWindow;
}

void BaseDialog::enableShadow(bool on)
{
    if (!on) {
        delete shadowWindow;
        shadowWindow = nullptr;
        return;
    }
    if (shadowWindow)
        return;
    winId();
    registerShadowClass(nullptr);
    shadowWindow = new CShadowWindow;
    shadowWindow->attach(this);
    shadowWindow->setColor(kShadowColor);
    shadowWindow->setDarkness(kShadowDarkness);
    shadowWindow->setSize(kShadowSize);
    shadowWindow->setPosition(kShadowOffset, kShadowOffset);
    shadowWindow->setSharpness(kShadowSharpness);
}

void BaseDialog::showEvent(QShowEvent *event)
{
    if (firstShowPending) {
        firstShowPending = false;
        titleObject = titleWidget();
        if (titleObject)
            titleObject->installEventFilter(this);
        if (QWidget *parent = parentWidget()) {
            const QPoint centred((parent->width() - width()) / 2,
                                 (parent->height() - height()) / 2);
            move(parent->mapToGlobal(centred));
        }
    }
    QDialog::showEvent(event);
}

bool BaseDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != titleObject || !titleObject)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        dragOffset = mouse->globalPos() - pos();
        dragging = true;
        mouse->accept();
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!dragging || mouse->buttons() == Qt::NoButton)
            break;
        move(mouse->globalPos() - dragOffset);
        mouse->accept();
        return true;
    }
    case QEvent::MouseButtonRelease:
        dragging = false;
        return true;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
