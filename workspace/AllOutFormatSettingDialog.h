#pragma once

#include "BaseDialog.h"

#include <QString>

namespace Ui {
class AllOutFormatSettingDialog;
}
class AllSettiongItemWidget;

// Picks one output format for every PDF-to-file row at once; remembers the last choice to
// preselect it next time.
class AllOutFormatSettingDialog : public BaseDialog
{
    Q_OBJECT

public:
    explicit AllOutFormatSettingDialog(QWidget *parent = nullptr);
    ~AllOutFormatSettingDialog() override;

    // Marks the tile of the first identifier equal to format; keeps format as the current
    // choice even when no tile matches.
    void selectFormat(const QString &format);
    QString currentFormat() const { return m_currentFormat; }
    AllSettiongItemWidget *tile(const QString &format) const;

signals:
    void ClickAllSettingFormatSignal(QString format);

public slots:
    void on_btn_close_clicked();
    void ClickFormatSlots(QString format);
    void on_btn_cancel_clicked();
    void on_btn_ok_clicked();

protected:
    QWidget *titleWidget() override;

private:
    Ui::AllOutFormatSettingDialog *ui;
    QString m_currentFormat;
};
