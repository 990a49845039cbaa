#include "CShadowWindowQt.h"

#include "ShadowBitmap.h"
#include "ShadowRegistry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

bool shadowsAvailable = false;

ShadowRegistry<const QWidget *, CShadowWindow> &shadowRegistry()
{
    static ShadowRegistry<const QWidget *, CShadowWindow> registry;
    return registry;
}

// Without a compositing manager an X server shows the premultiplied colours of a
// translucent window as they are: a dark veil instead of a shadow.
bool x11CompositorRunning()
{
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
        nullptr);
    bool running = false;
    if (atom) {
        xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        running = owner && owner->owner != XCB_NONE;
        std::free(owner);
        std::free(atom);
    }
    xcb_disconnect(connection);
    return running;
}

bool translucentTopLevelsSupported()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return x11CompositorRunning();
    return platform == QLatin1String("offscreen") || platform.startsWith(QLatin1String("wayland"));
}

} // namespace

// The shadow's own window: never focused, never hit by the mouse, painting the rendered
// premultiplied pixels as they are.
class ShadowSurface : public QWidget
{
public:
    explicit ShadowSurface(QWidget *owner)
        : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                             Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint)
    {
        setObjectName(QStringLiteral("SkinShadowWnd"));
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
    }

    void setImage(const QImage &image)
    {
        image_ = image;
        QWidget::update();
    }
    const QImage &image() const { return image_; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.drawImage(0, 0, image_);
    }

private:
    QImage image_;
};

// One filter for every parent, as one window procedure serves every subclassed window:
// it finds the shadow through the registry.
class ShadowEventFilter : public QObject
{
public:
    using QObject::QObject;

    static ShadowEventFilter *instance()
    {
        static QPointer<ShadowEventFilter> filter;
        if (!filter)
            filter = new ShadowEventFilter(QCoreApplication::instance());
        return filter;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched->isWidgetType()) {
            QWidget *parent = static_cast<QWidget *>(watched);
            if (CShadowWindow *shadow = shadowRegistry().find(parent))
                shadow->parentEvent(parent, event);
        }
        return false;
    }
};

bool registerShadowClass(void *)
{
    static bool registered = false;
    if (registered)
        return false;
    registered = true;
    shadowsAvailable = translucentTopLevelsSupported();
    return shadowsAvailable;
}

CShadowWindow::CShadowWindow() = default;

CShadowWindow::~CShadowWindow()
{
    delete surface_.data();
    if (parentKey_) {
        QObject::disconnect(destroyedConnection_);
        if (parent_)
            parent_->removeEventFilter(ShadowEventFilter::instance());
        shadowRegistry().removeEntry(parentKey_, this);
    }
}

void CShadowWindow::attach(QWidget *parent)
{
    if (!shadowsAvailable || !parent || parentKey_ || shadowRegistry().find(parent))
        return;
    if (!shadowRegistry().append(parent, this))
        return;
    parent_ = parent;
    parentKey_ = parent;
    lastSize_ = parent->size();
    surface_ = new ShadowSurface(parent);

    status_ = Enabled;
    if (parent->isVisible()) {
        status_ |= ParentShown;
        if (!(parent->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            status_ |= ShadowShown;
            showSurface();
            update(parent);
        }
    }
    parent->installEventFilter(ShadowEventFilter::instance());
    destroyedConnection_ = QObject::connect(
        parent, &QObject::destroyed, ShadowEventFilter::instance(), [this] { parentDestroyed(); });
}

void CShadowWindow::parentDestroyed()
{
    shadowRegistry().removeEntry(parentKey_, this);
    delete surface_.data();
    parentKey_ = nullptr;
    status_ = 0;
}

bool CShadowWindow::setSize(int size)
{
    parameters_.size = int8_t(size & 0xFF);
    renderIfShown();
    return true;
}

bool CShadowWindow::setSharpness(int sharpness)
{
    parameters_.sharpness = uint8_t(sharpness & 0xFF);
    renderIfShown();
    return true;
}

bool CShadowWindow::setDarkness(unsigned darkness)
{
    if (!ShadowLimits::darknessAccepted(darkness))
        return false;
    parameters_.darkness = uint8_t(darkness);
    renderIfShown();
    return true;
}

bool CShadowWindow::setPosition(int x, int y)
{
    if (!ShadowLimits::offsetAccepted(x, y))
        return false;
    parameters_.xOffset = int8_t(x);
    parameters_.yOffset = int8_t(y);
    renderIfShown();
    return true;
}

bool CShadowWindow::setColor(uint32_t colorRef)
{
    parameters_.color = colorRef;
    renderIfShown();
    return true;
}

void CShadowWindow::renderIfShown()
{
    if ((status_ & ShadowShown) && parent_)
        update(parent_);
}

QPoint CShadowWindow::shadowOrigin(const QWidget *parent) const
{
    const QPoint topLeft = parent->frameGeometry().topLeft();
    return {topLeft.x() + parameters_.xOffset - parameters_.size,
            topLeft.y() + parameters_.yOffset - parameters_.size};
}

void CShadowWindow::update(QWidget *parent)
{
    if (!surface_ || !parent)
        return;
    const int width = parent->width();
    const int height = parent->height();
    const QRegion shape = parent->mask();
    const std::vector<RowSpan> spans =
        shape.isEmpty() ? ShadowBitmap::rectangleSpans(width, height)
                        : ShadowBitmap::spansOf(width, height, [&shape](int x, int y) {
                              return shape.contains(QPoint(x, y));
                          });
    ShadowBitmap bitmap;
    if (!bitmap.render(width, height, spans, parameters_))
        return;
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return;
    for (int y = 0; y < bitmap.height(); ++y)
        std::copy(bitmap.row(y), bitmap.row(y) + bitmap.width(),
                  reinterpret_cast<uint32_t *>(image.scanLine(y)));
    surface_->setGeometry(QRect(shadowOrigin(parent), image.size()));
    surface_->setImage(image);
}

void CShadowWindow::showSurface()
{
    if (surface_)
        surface_->show();
}

void CShadowWindow::hideSurface()
{
    if (surface_)
        surface_->hide();
}

void CShadowWindow::parentEvent(QWidget *parent, QEvent *event)
{
    if (!(status_ & Enabled))
        return;
    switch (event->type()) {
    case QEvent::Move:
        if ((status_ & ShadowShown) && surface_ && surface_->isVisible())
            surface_->move(shadowOrigin(parent));
        break;
    case QEvent::Resize:
    case QEvent::WindowStateChange: {
        if (parent->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
            hideSurface();
            status_ &= ~ShadowShown;
        } else if (status_ & ParentShown) {
            const QSize size = parent->size();
            if (size.width() > lastSize_.width() || size.height() > lastSize_.height())
                updatePending_ = true;
            else
                update(parent);
            if (!(status_ & ShadowShown)) {
                update(parent);
                showSurface();
            }
            status_ |= ShadowShown;
        }
        lastSize_ = parent->size();
        break;
    }
    case QEvent::Paint:
        if (updatePending_) {
            updatePending_ = false;
            update(parent);
        }
        break;
    case QEvent::Show:
        if (!(status_ & ParentShown)) {
            update(parent);
            updatePending_ = true;
            showSurface();
            status_ |= ShadowShown | ParentShown;
        }
        break;
    case QEvent::Hide:
        hideSurface();
        status_ &= ~(ShadowShown | ParentShown);
        break;
    default:
        break;
    }
}

QWidget *CShadowWindow::shadowWidget() const
{
    return surface_.data();
}

CShadowWindow *CShadowWindow::shadowOf(const QWidget *parent)
{
    return shadowRegistry().find(parent);
}

int CShadowWindow::registeredCount()
{
    return shadowRegistry().count();
}
