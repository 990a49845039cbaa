#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class ConversionFormatDorpDown;
}
class ConversionFormatWidget;

// The 90x20 field in a PDF-to-file row that shows the row's output format and opens the
// popup list of formats when clicked.
class ConversionFormatDorpDown : public QWidget
{
    Q_OBJECT

public:
    explicit ConversionFormatDorpDown(QWidget *parent = nullptr);
    ~ConversionFormatDorpDown() override;

    QString format() const;
    // Shows the identifier and always emits FormatChangedSignal, also for an unchanged or
    // unknown one.
    void setFormat(const QString &format);
    // Switches the inner frame and its look; the row disables the whole field besides.
    void setEnabledLook(bool enabled);
    ConversionFormatWidget *popup() const { return m_popup; }

signals:
    void FormatChangedSignal(QString format);

public slots:
    void ClickFormatSlots(QString format);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void applyLook(const QString &look);
    void openPopup();

    Ui::ConversionFormatDorpDown *ui;
    ConversionFormatWidget *m_popup = nullptr;
};
