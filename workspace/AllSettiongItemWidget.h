#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class AllSettiongItemWidget;
}

// One 128x54 tile of the set-all dialog: an identifier above its description, outlined in
// blue with a corner badge when selected.
class AllSettiongItemWidget : public QWidget
{
    Q_OBJECT

public:
    explicit AllSettiongItemWidget(QWidget *parent = nullptr);
    ~AllSettiongItemWidget() override;

    void setFormatTexts(const QString &format, const QString &description);
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    // The shown look: 1 selected, 0 not.
    int shownPage() const;

signals:
    void FormatClickSignal(QString format);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    Ui::AllSettiongItemWidget *ui;
    bool m_selected = false;
};
