#include "MemberCenterDialog.h"
#include "ui_MemberCenterDialog.h"

#include "MainWindow.h"
#include "MessageBoxDialog.h"
#include "ModalDialog.h"
#include "UserInfoManage.h"

#include <QEvent>

MemberCenterDialog::MemberCenterDialog(QWidget *parent)
    : BaseDialog(parent, false), ui(new Ui::MemberCenterDialog)
{
    Q_INIT_RESOURCE(account);
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);

    UserInfoManage *store = UserInfoManage::instance();
    if (store) {
        connect(store, &UserInfoManage::GetUserInfoResultSignal, this,
                &MemberCenterDialog::GetUserInfoResultSlot);
        showUserInfo(store->userInfo());
        store->refresh();
    }
}

MemberCenterDialog::~MemberCenterDialog()
{
    delete ui;
}

void MemberCenterDialog::refreshUserInfo()
{
    if (UserInfoManage *store = UserInfoManage::instance())
        store->refresh();
}

void MemberCenterDialog::showUserInfo(const UserInfo &info)
{
    ui->label_username->setText(info.nickname);
    ui->label_userID->setText(QStringLiteral("ID：") + info.id);
}

void MemberCenterDialog::GetUserInfoResultSlot(bool result)
{
    UserInfoManage *store = UserInfoManage::instance();
    if (result && store)
        showUserInfo(store->userInfo());
}

bool MemberCenterDialog::event(QEvent *e)
{
    if (e->type() == QEvent::Leave)
        hide();
    return QWidget::event(e);
}

QWidget *MemberCenterDialog::titleWidget()
{
    return ui->widget;
}

void MemberCenterDialog::on_btn_exitlogin_clicked()
{
    UserInfoManage *store = UserInfoManage::instance();
    if (!store)
        return;
    QWidget *owner = store->mainWindow();

    MessageBoxDialog box(owner);
    box.setMessage(QStringLiteral("确定退出登录吗？"), QString());
    if (execModalDialog(&box, owner)) {
        emit ExitLoginSignal();
        hide();
    }
}
