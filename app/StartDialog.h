#pragma once

#include "BaseDialog.h"

namespace Ui {
class StartDialog;
}

// The start-up splash: shown for about a second before the main window.
class StartDialog : public BaseDialog
{
    Q_OBJECT

public:
    explicit StartDialog(QWidget *parent = nullptr);
    ~StartDialog() override;

public slots:
    void CloseMe();

protected:
    QWidget *titleWidget() override;

private:
    Ui::StartDialog *ui;
};
