#pragma once

#include <QDialog>
#include <QPoint>

class CShadowWindow;

// Frameless base of every dialog: dragging by a title area, centring over the parent on
// the first show, and an optional native drop shadow.
class BaseDialog : public QDialog
{
    Q_OBJECT

public:
    BaseDialog(QWidget *parent, bool shadow);
    ~BaseDialog() override;

    // True attaches one shadow (a second call keeps the first); false removes it.
    void enableShadow(bool on);
    CShadowWindow *shadow() const { return shadowWindow; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // The widget by which the dialog is dragged; null makes it immovable.
    virtual QWidget *titleWidget() = 0;

private:
    QObject *titleObject = nullptr;
    bool dragging = false;
    QPoint dragOffset;
    bool firstShowPending = true;
    CShadowWindow *shadowWindow = nullptr;
};
