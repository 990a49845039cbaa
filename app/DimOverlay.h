#pragma once

#include <QWidget>

// The half-transparent dark layer ("dimOverlay") that covers a window, less an 8-px
// border, while a modal dialog runs. Create it right after the window's form, so that
// it lies above every widget of the form; it starts hidden.
class DimOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit DimOverlay(QWidget *window);

    // Covers the window's current rectangle inset by 8 px on every side, then shows.
    void showOverWindow();
    void hideOverlay() { hide(); }
};
