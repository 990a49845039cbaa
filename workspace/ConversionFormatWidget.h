#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class ConversionFormatWidget;
}
class ConversionFormatListItemWidget;

// The popup list of a format drop-down: one row per output format, the current one marked.
class ConversionFormatWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ConversionFormatWidget(QWidget *parent = nullptr);
    ~ConversionFormatWidget() override;

    // Adds one row; ignored unless both texts are non-empty.
    void addFormatItem(const QString &format, const QString &description);
    // Marks the rows whose identifier equals format exactly, unmarks the others.
    void selectFormat(const QString &format);
    QString selectedFormat() const { return m_selectedFormat; }
    int itemCount() const;
    ConversionFormatListItemWidget *item(int row) const;

signals:
    void ClickFormatSignal(QString format);

public slots:
    void ClickFromatButtonSlot(QString format);

private:
    Ui::ConversionFormatWidget *ui;
    QString m_selectedFormat;
};
