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
    // The offscreen platform composites nothing for anyone to see; it counts as able only so
    // that the shadow's windows can be tested headless. A test on a real X server with a
    // compositing manager proves the path a user sees.
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
    surface_ = new ShadowSurface(parent);
    apply(state_.attached(parent->isVisible(),
                          parent->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
                          unsigned(parent->width()), unsigned(parent->height())),
          parent);
    parent->installEventFilter(ShadowEventFilter::instance());
    destroyedConnection_ = QObject::connect(
        parent, &QObject::destroyed, ShadowEventFilter::instance(), [this] { parentDestroyed(); });
}

void CShadowWindow::parentDestroyed()
{
    shadowRegistry().removeEntry(parentKey_, this);
    delete surface_.data();
    parentKey_ = nullptr;
    state_.detached();
}

bool CShadowWindow::setSize(int size)
{
    return renderWhenStored(state_.setSize(size));
}

bool CShadowWindow::setSharpness(int sharpness)
{
    return renderWhenStored(state_.setSharpness(sharpness));
}

bool CShadowWindow::setDarkness(unsigned darkness)
{
    return renderWhenStored(state_.setDarkness(darkness));
}

bool CShadowWindow::setPosition(int x, int y)
{
    return renderWhenStored(state_.setPosition(x, y));
}

bool CShadowWindow::setColor(uint32_t colorRef)
{
    return renderWhenStored(state_.setColor(colorRef));
}

// Every stored setting shows at once while the shadow is shown.
bool CShadowWindow::renderWhenStored(bool stored)
{
    if (stored && state_.shadowShown() && parent_)
        update(parent_);
    return stored;
}

void CShadowWindow::apply(ShadowState::Reaction reaction, QWidget *parent)
{
    if (!surface_)
        return;
    if (reaction.hide)
        surface_->hide();
    if (reaction.render)
        update(parent);
    if (reaction.show)
        surface_->show();
}

QPoint CShadowWindow::shadowOrigin(const QWidget *parent) const
{
    const QPoint topLeft = parent->frameGeometry().topLeft();
    return {topLeft.x() + state_.originDx(), topLeft.y() + state_.originDy()};
}

// A parent without a mask of its own casts the shadow of its whole rectangle.
bool CShadowWindow::buildShadowMask(const QWidget *parent, ShadowBitmap &bitmap) const
{
    const int width = parent->width();
    const int height = parent->height();
    const QRegion shape = parent->mask();
    const std::vector<RowSpan> spans =
        shape.isEmpty() ? ShadowBitmap::rectangleSpans(width, height)
                        : ShadowBitmap::spansOf(width, height, [&shape](int x, int y) {
                              return shape.contains(QPoint(x, y));
                          });
    return bitmap.render(width, height, spans, state_.parameters());
}

void CShadowWindow::update(QWidget *parent)
{
    if (!surface_ || !parent)
        return;
    ShadowBitmap bitmap;
    if (!buildShadowMask(parent, bitmap))
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

void CShadowWindow::parentEvent(QWidget *parent, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
        if (state_.shadowShown() && surface_ && surface_->isVisible())
            surface_->move(shadowOrigin(parent));
        break;
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        apply(state_.resized(parent->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
                             unsigned(parent->width()), unsigned(parent->height())),
              parent);
        break;
    case QEvent::Paint:
        apply(state_.painted(), parent);
        break;
    case QEvent::Show:
        apply(state_.parentShown(), parent);
        break;
    case QEvent::Hide:
        apply(state_.parentHidden(), parent);
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
