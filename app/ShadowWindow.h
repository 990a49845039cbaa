#pragma once

#include <QFrame>

namespace Ui {
class ShadowWindow;
}

// A gradient-filled frame that can be turned into a dark translucent layer.
class ShadowWindow : public QFrame
{
    Q_OBJECT

public:
    explicit ShadowWindow(QWidget *parent = nullptr);
    ~ShadowWindow() override;

    void setDarkStyle();

private:
    Ui::ShadowWindow *ui;
};
