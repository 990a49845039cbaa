#pragma once

#include "ShadowState.h"

#include <QMetaObject>
#include <QPointer>
#include <cstdint>

class QEvent;
class QWidget;
class ShadowBitmap;
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

    uint8_t status() const { return state_.status(); }
    const ShadowParameters &parameters() const { return state_.parameters(); }
    // The shadow's own window while it exists.
    QWidget *shadowWidget() const;
    static CShadowWindow *shadowOf(const QWidget *parent);
    static int registeredCount();

private:
    friend class ShadowEventFilter;
    void parentEvent(QWidget *parent, QEvent *event);
    void parentDestroyed();
    bool renderWhenStored(bool stored);
    void apply(ShadowState::Reaction reaction, QWidget *parent);
    QPoint shadowOrigin(const QWidget *parent) const;
    bool buildShadowMask(const QWidget *parent, ShadowBitmap &bitmap) const;

    QPointer<QWidget> parent_;
    QWidget *parentKey_ = nullptr;
    QPointer<ShadowSurface> surface_;
    QMetaObject::Connection destroyedConnection_;
    ShadowState state_{ShadowState::Ranges::AnyByte, ShadowState::ShowRender::AtOnceAndAtPaint};
};
