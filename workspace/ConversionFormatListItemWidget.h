#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class ConversionFormatListItemWidget;
}

// One row of the format popup: the identifier above its description, with a tick when it is
// the drop-down's current format.
class ConversionFormatListItemWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ConversionFormatListItemWidget(QWidget *parent = nullptr);
    ~ConversionFormatListItemWidget() override;

    void setFormatTexts(const QString &format, const QString &description);
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    QString format() const { return m_format; }
    // The shown look: 1 selected, 0 not.
    int shownPage() const;

signals:
    void ClickButtonSignal(QString format);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    Ui::ConversionFormatListItemWidget *ui;
    bool m_selected = false;
    QString m_format;
};
