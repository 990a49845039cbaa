#pragma once

#include "BaseDialog.h"

namespace Ui {
class AboutDialog;
}

// The about box: product icon, name, version and the maker's copyright line.
class AboutDialog : public BaseDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent);
    ~AboutDialog() override;

public slots:
    void on_btn_close_clicked();

protected:
    QWidget *titleWidget() override;

private:
    Ui::AboutDialog *ui;
};
