#pragma once

#include "BaseDialog.h"

#include <QString>

namespace Ui {
class WechatLoginDialog;
}

class QHttpNetRequest;
class QTimer;

// Signs the user in by WeChat QR code: shows the code the service hands out, waits while
// the user scans it, stores the token, fetches the user's details and then reports success
// and closes. Closing it by its button reports nothing. When no code can be had, or the token
// cannot be stored, it shows its failure panel, from which "刷新" (or the panel's own button)
// asks for a new code.
class WechatLoginDialog : public BaseDialog
{
    Q_OBJECT

public:
    explicit WechatLoginDialog(QWidget *parent = nullptr);
    ~WechatLoginDialog() override;

signals:
    void LoginSuccessSignal();
    void StartGetUserInfoSignal();

public slots:
    void on_btn_close_clicked();
    void on_btn_refrash_clicked();
    void on_btn_retry_clicked();
    void DownloadResultSlot(bool result, QString filepath);
    void LoginSuccessSlot(QString token);
    void CheckLoginState();
    void StartGetUserInfoSlot();
    void GetUserInfoSlot(bool result);
    void QrCodeFailedSlot();

protected:
    QWidget *titleWidget() override;

private:
    void showFailure();

    Ui::WechatLoginDialog *ui = nullptr;
    QHttpNetRequest *request = nullptr;
    QTimer *loadingTimer = nullptr;
    int loadingFrame = 1;
};
