#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QStringList>

// Frameless base of the main window: a painted 9-pixel soft shadow, dragging by a title
// area, maximise and restore, a drop area hook, and centring on the primary screen on
// the first show.
class BaseMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit BaseMainWindow(QWidget *parent = nullptr);

    void maximizeWindow();
    void restoreWindow();
    // The local paths of the last drop on the drop area.
    QStringList droppedPaths() const { return lastDroppedPaths; }

signals:
    void exitMaximized();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    virtual QWidget *titleWidget() = 0;
    // The widget that takes file drops, or null for none.
    virtual QWidget *dropAreaWidget() = 0;

private:
    bool filterTitleEvent(QEvent *event);
    bool filterDropEvent(QEvent *event);
    void setCentralMargins(int margin);

    QObject *titleObject = nullptr;
    QObject *dropAreaObject = nullptr;
    bool dragging = false;
    QPoint dragOffset;
    bool firstShowPending = true;
    QStringList lastDroppedPaths;
};
