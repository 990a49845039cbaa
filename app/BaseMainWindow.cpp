#include "BaseMainWindow.h"

#include "ShellResources.h"

#include <QDropEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QUrl>

namespace {

constexpr int kShadowMargin = 9;
constexpr int kShadowRings = 10;
// Ring i lies at inset 10 - i: the innermost ring is the darkest.
constexpr int kRingAlpha[kShadowRings] = {150, 120, 80, 50, 40, 30, 20, 10, 5, 5};
const QColor kShadowColor(92, 93, 95);
// A local file's path; cutting "file:///" off the text would also cut the leading "/"
// of a Unix path and leave percent-escapes in place.
QString localPathOf(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

} // namespace

BaseMainWindow::BaseMainWindow(QWidget *parent) : QMainWindow(parent)
{
    initShellResources();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BaseMainWindow::setCentralMargins(int margin)
{
    if (centralWidget() && centralWidget()->layout())
        centralWidget()->layout()->setContentsMargins(margin, margin, margin, margin);
}

void BaseMainWindow::maximizeWindow()
{
    setCentralMargins(0);
    showMaximized();
}

void BaseMainWindow::restoreWindow()
{
    setCentralMargins(kShadowMargin);
    showNormal();
}

void BaseMainWindow::showEvent(QShowEvent *event)
{
    if (firstShowPending) {
        firstShowPending = false;
        resize(width() + 2 * kShadowMargin, height() + 2 * kShadowMargin);
        setMinimumSize(minimumWidth() + 2 * kShadowMargin, minimumHeight() + 2 * kShadowMargin);
        setCentralMargins(kShadowMargin);
        titleObject = titleWidget();
        if (titleObject)
            titleObject->installEventFilter(this);
        QWidget *dropArea = dropAreaWidget();
        dropAreaObject = dropArea;
        if (dropArea) {
            dropArea->installEventFilter(this);
            dropArea->setAcceptDrops(true);
        }
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            move((area.width() - width()) / 2, (area.height() - height()) / 2);
        }
    }
    QWidget::showEvent(event);
}

bool BaseMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (titleObject && watched == titleObject && filterTitleEvent(event))
        return true;
    if (dropAreaObject && watched == dropAreaObject && !filterDropEvent(event))
        return false;
    return QMainWindow::eventFilter(watched, event);
}

// True when the event is taken.
bool BaseMainWindow::filterTitleEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        dragOffset = mouse->globalPos() - pos();
        dragging = true;
        mouse->accept();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            emit exitMaximized();
        return false;
    case QEvent::MouseButtonRelease:
        dragging = false;
        return true;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (windowState() == Qt::WindowMaximized) {
            // Keep the cursor at its proportional place when the window is restored.
            const int oldWidth = width(), oldHeight = height();
            const QPoint local = mapFromGlobal(mouse->globalPos());
            const QPoint global = mouse->globalPos();
            emit exitMaximized();
            const int nx = oldWidth > 0 ? width() * local.x() / oldWidth : 0;
            const int ny = oldHeight > 0 ? height() * local.y() / oldHeight : 0;
            move(global.x() - nx, global.y() - ny);
            dragOffset = QPoint(nx, ny);
            mouse->accept();
            return true;
        }
        if (!dragging || mouse->buttons() == Qt::NoButton)
            return false;
        move(mouse->globalPos() - dragOffset);
        mouse->accept();
        return true;
    }
    default:
        return false;
    }
}

// False ends the filter at once with false; true passes the event on.
bool BaseMainWindow::filterDropEvent(QEvent *event)
{
    if (event->type() == QEvent::DragEnter) {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (enter->mimeData() && enter->mimeData()->hasFormat(QStringLiteral("*")))
            enter->acceptProposedAction();
    } else if (event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!drop->mimeData() || !drop->mimeData()->hasUrls())
            return false;
        lastDroppedPaths.clear();
        for (const QUrl &url : drop->mimeData()->urls())
            lastDroppedPaths << localPathOf(url);
    }
    return true;
}

void BaseMainWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addRect(10, 10, width() - 20, height() - 20);
    painter.fillPath(body, QBrush(Qt::white));

    for (int i = 0; i < kShadowRings; ++i) {
        const int inset = 10 - i;
        QPainterPath ring;
        ring.setFillRule(Qt::WindingFill);
        if (inset == 5)
            ring.addRect(inset, inset, width() - 2 * inset, height() - 2 * inset);
        else
            ring.addRoundedRect(inset, inset, width() - 2 * inset, height() - 2 * inset, 2.0, 2.0);
        QColor color = kShadowColor;
        color.setAlpha(kRingAlpha[i]);
        painter.setPen(QPen(color, 1));
        painter.drawPath(ring);
    }
    QWidget::paintEvent(event);
}
