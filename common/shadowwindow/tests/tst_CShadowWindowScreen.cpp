#include "CShadowWindow.h"
#include "WindowWaits.h"
#include "ScreenReading.h"
#include "XvfbDisplay.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QPair>
#include <QScreen>
#include <QVector>
#include <QWidget>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <string>

#include <sys/wait.h>
#include <xcb/xcb.h>

namespace {

std::string skipReason;

// Whether a compositing manager owns the screen's selection, as the shadow asks.
bool compositorRuns(const std::string &display)
{
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(display.c_str(), &screen);
    bool runs = false;
    if (!xcb_connection_has_error(connection)) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
            nullptr);
        if (atom) {
            xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
                connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
            runs = owner && owner->owner != XCB_NONE;
            free(owner);
            free(atom);
        }
    }
    xcb_disconnect(connection);
    return runs;
}

// xcompmgr on the test's own display, ended with the object.
class Compositor
{
public:
    ~Compositor()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    bool start(const std::string &display, std::string &error)
    {
        const char *argv[] = {"xcompmgr", "-d", display.c_str(), nullptr};
        if (posix_spawnp(&m_pid, "xcompmgr", nullptr, nullptr, const_cast<char **>(argv),
                         environ) != 0) {
            m_pid = -1;
            error = "xcompmgr is not installed";
            return false;
        }
        // A safety net only: a busy machine starts it late, and a late start is no reason to
        // skip the test.
        for (const QDeadlineTimer deadline(60000); !deadline.hasExpired(); usleep(20000)) {
            if (compositorRuns(display))
                return true;
        }
        error = "xcompmgr took no hold of the screen in time";
        return false;
    }

private:
    pid_t m_pid = -1;
};

std::unique_ptr<QWidget> window(const QRect &geometry, const QColor &colour)
{
    auto widget = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    widget->setGeometry(geometry);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    return widget;
}

using namespace ScreenReading;

} // namespace

// The shadow as a real screen shows it: an X server of the test's own with a compositing
// manager, which blends the shadow's translucent window over what lies beneath. (The other
// shadow tests run on the offscreen platform, which only pretends to composite.)
class TestCShadowWindowScreen : public QObject
{
    Q_OBJECT

private slots:
    void shadowIsBlendedOverWhatLiesBeneath()
    {
        if (!skipReason.empty())
            QSKIP(skipReason.c_str());
        QVERIFY(registerShadowClass(nullptr));

        const auto backdrop = window(QRect(0, 0, 800, 600), Qt::white);
        backdrop->show();
        QVERIFY(waitForExposed(backdrop.get()));
        const auto parent = window(QRect(200, 150, 300, 200), QColor(0, 0, 160));
        parent->show();
        QVERIFY(waitForExposed(parent.get()));
        CShadowWindow shadow;
        shadow.attach(parent.get());
        shadow.setColor(0x5F5D5C);
        shadow.setDarkness(150);
        shadow.setSize(8);
        shadow.setPosition(2, 3);
        shadow.setSharpness(12);
        QWidget *surface = shadow.shadowWidget();
        QVERIFY(surface);
        QVERIFY(waitForExposed(surface));

        // Every shadow pixel beside the parent is the shadow's own pixel laid over white.
        const QImage drawn =
            surface->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QRect frame = parent->frameGeometry();
        QVector<QPair<QPoint, QRgb>> expectedPixels;
        int shaded = 0;
        for (const QPoint &global :
             {QPoint(frame.left() - 3, frame.center().y()), QPoint(frame.left() - 6, 300),
              QPoint(frame.right() + 4, frame.center().y()), QPoint(350, frame.bottom() + 5),
              QPoint(350, frame.bottom() + 9), QPoint(frame.right() + 6, frame.bottom() + 8)}) {
            const QRgb own = drawn.pixel(global - surface->geometry().topLeft());
            const int white = 255 - qAlpha(own);
            expectedPixels.append(
                {global, qRgb(qRed(own) + white, qGreen(own) + white, qBlue(own) + white)});
            shaded += qAlpha(own) >= 20 ? 1 : 0;
        }
        QVERIFY2(shaded >= 3, "hardly any shadow beside the parent");
        const auto near = [](QRgb shown, QRgb expected) {
            return qAbs(qRed(shown) - qRed(expected)) <= 3 &&
                   qAbs(qGreen(shown) - qGreen(expected)) <= 3 &&
                   qAbs(qBlue(shown) - qBlue(expected)) <= 3;
        };
        // The compositing manager blends on its own time: the screen is read once it has.
        const auto blended = [&](const QImage &screen) {
            return std::all_of(expectedPixels.begin(), expectedPixels.end(), [&](const auto &at) {
                return near(screen.pixel(at.first), at.second);
            });
        };
        QImage screen;
        const bool settled = readSettledScreen(screen, blended);
        for (const auto &[global, expected] : expectedPixels) {
            const QRgb shown = screen.pixel(global);
            QVERIFY2(near(shown, expected),
                     qPrintable(QStringLiteral("at %1,%2: %3, expected %4")
                                    .arg(global.x())
                                    .arg(global.y())
                                    .arg(describe(shown), describe(expected))));
        }
        QVERIFY2(settled, "the screen did not settle");
        // The parent itself, and the screen away from it, are untouched.
        QCOMPARE(screen.pixel(frame.center()), qRgb(0, 0, 160));
        QCOMPARE(screen.pixel(QPoint(60, 60)), qRgb(255, 255, 255));
    }
};

int main(int argc, char **argv)
{
    XvfbDisplay server;
    Compositor compositor;
    if (server.start(skipReason) && compositor.start(server.display(), skipReason)) {
        qputenv("DISPLAY", QByteArray::fromStdString(server.display()));
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        TestCShadowWindowScreen test;
        result = QTest::qExec(&test, argc, argv);
    }
    return result;
}

#include "tst_CShadowWindowScreen.moc"
