#pragma once

#include "BaseDialog.h"
#include "UserInfo.h"

namespace Ui {
class MemberCenterDialog;
}

// The small account popup beside the main window's user button: the user's nickname and id,
// and sign-out after a confirmation. Hides itself as soon as the mouse leaves it.
class MemberCenterDialog : public BaseDialog
{
    Q_OBJECT

public:
    explicit MemberCenterDialog(QWidget *parent = nullptr);
    ~MemberCenterDialog() override;

    static void refreshUserInfo();
    void showUserInfo(const UserInfo &info);

signals:
    void ExitLoginSignal();

public slots:
    void GetUserInfoResultSlot(bool result);
    void on_btn_exitlogin_clicked();

protected:
    bool event(QEvent *e) override;
    QWidget *titleWidget() override;

private:
    Ui::MemberCenterDialog *ui = nullptr;
};
