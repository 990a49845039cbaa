#pragma once

#include "BaseDialog.h"

#include <QString>

namespace Ui {
class MoreDialog;
}

// The drop-down menu under the main window's "more" button: contact customer service,
// and about. A popup: it closes when the user clicks elsewhere.
class MoreDialog : public BaseDialog
{
    Q_OBJECT

public:
    MoreDialog(QWidget *parent, const QString &serviceUrl);
    ~MoreDialog() override;

    QString serviceUrl() const { return customerServiceUrl; }

signals:
    void ShowAboutWndSignal();

public slots:
    void on_btn_KeFu_clicked();
    void on_btn_About_clicked();

protected:
    QWidget *titleWidget() override;

private:
    Ui::MoreDialog *ui;
    // A copy taken at construction: a later address does not reach an open menu.
    const QString customerServiceUrl;
};
