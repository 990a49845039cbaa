#pragma once

#include "BaseDialog.h"

namespace Ui {
class MessageBoxDialog;
}

// The program's one confirmation box: a question, an explanation, OK, cancel and close.
// Only OK accepts; the answer is the modal result. Without its cancel button it is a notice,
// whose OK only closes it.
class MessageBoxDialog : public BaseDialog
{
    Q_OBJECT

public:
    explicit MessageBoxDialog(QWidget *parent);
    ~MessageBoxDialog() override;

    void setMessage(const QString &text, const QString &tips);
    void setCancelButtonVisible(bool visible);

protected:
    QWidget *titleWidget() override;

public slots:
    void on_btn_close_clicked();
    void on_btn_ok_clicked();
    void on_btn_cancel_clicked();

private:
    Ui::MessageBoxDialog *ui;
};
