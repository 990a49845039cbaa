#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class ImageWordButton;
}

// An icon-and-text button whose whole look comes from one owner-supplied style sheet per
// state, applied to the inner frame "widget". Reports a click with ClickButtonSignal().
class ImageWordButton : public QWidget
{
    Q_OBJECT

public:
    explicit ImageWordButton(QWidget *parent = nullptr);
    ~ImageWordButton() override;

    void setText(const QString &text);
    QString text() const;
    void setNormalStyle(const QString &style);
    void setHoverStyle(const QString &style);
    void setPressedStyle(const QString &style);
    void setSelectedStyle(const QString &style);
    // True: the normal look with hover and press feedback; false: the selected look.
    void setHoverEnabled(bool enabled);
    bool hoverEnabled() const { return feedbackOn; }
    QString normalStyle() const { return normal; }
    QString hoverStyle() const { return hover; }
    QString pressedStyle() const { return pressed; }
    QString selectedStyle() const { return selected; }
    // While the frame is hidden the button reports no clicks.
    void setFrameVisible(bool visible);
    // The style sheet the inner frame shows now.
    QString currentStyle() const;

signals:
    void ClickButtonSignal();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void applyStyle(const QString &style);

    Ui::ImageWordButton *ui;
    QString normal;
    QString hover;
    QString pressed;
    QString selected;
    bool feedbackOn = true;
};
