#pragma once

#include "ShadowParameters.h"

#include <QMetaObject>
#include <QPointer>
#include <QSize>
#include <cstdint>

class QEvent;
class QWidget;
class ShadowSurface;

// Once per process: true only on the call that found translucent top-level windows and
// made shadows possible; false when already done or when the window system cannot
// composite them (an X server without a compositing manager), after which no shadow is
// ever made. The instance handle is kept for the Windows interface and not used here.
bool registerShadowClass(void *instance = nullptr);

// A translucent, input-transparent top-level window that paints a soft shadow around a
// widget's window and follows it through moves, resizes, shows, hides and minimising.
class CShadowWindow
{
public:
    enum StatusBit : uint8_t
    {
        Enabled = 1,
        ShadowShown = 2,
        ParentShown = 4
    };

    CShadowWindow();
    virtual ~CShadowWindow();
    CShadowWindow(const CShadowWindow &) = delete;
    CShadowWindow &operator=(const CShadowWindow &) = delete;

    // Does nothing without shadow support, for a null parent, for a second attach, or
    // when the parent already has a shadow.
    void attach(QWidget *parent);

    bool setSize(int size);
    bool setSharpness(int sharpness);
    bool setDarkness(unsigned darkness);
    bool setPosition(int x, int y);
    bool setColor(uint32_t colorRef);
    void update(QWidget *parent);

    uint8_t status() const { return status_; }
    const ShadowParameters &parameters() const { return parameters_; }
    // The shadow's own window while it exists.
    QWidget *shadowWidget() const;
    static CShadowWindow *shadowOf(const QWidget *parent);
    static int registeredCount();

private:
    friend class ShadowEventFilter;
    void parentEvent(QWidget *parent, QEvent *event);
    void parentDestroyed();
    void renderIfShown();
    void showSurface();
    void hideSurface();
    QPoint shadowOrigin(const QWidget *parent) const;

    QPointer<QWidget> parent_;
    QWidget *parentKey_ = nullptr;
    QPointer<ShadowSurface> surface_;
    QMetaObject::Connection destroyedConnection_;
    uint8_t status_ = 0;
    ShadowParameters parameters_;
    QSize lastSize_;
    bool updatePending_ = false;
};
