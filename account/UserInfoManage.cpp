#include "UserInfoManage.h"

#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "UserNetRequest.h"

UserInfoManage *UserInfoManage::instance()
{
    static UserInfoManage manage;
    return &manage;
}

UserInfoManage::UserInfoManage() : request(new UserNetRequest)
{
    request->setParams(serviceUrl(QStringLiteral("/v1/user/info")), QStringLiteral("30000"),
                       installChannel());
    connect(request, &UserNetRequest::GetUserInfoResultSignal, this,
            &UserInfoManage::GetUserInfoResultSlot);
    request->start(QThread::InheritPriority);
}

UserInfoManage::~UserInfoManage()
{
    request->quit();
    delete request;
}

void UserInfoManage::refresh()
{
    if (request)
        request->start(QThread::InheritPriority);
}

UserInfo UserInfoManage::userInfo() const
{
    return request ? request->userInfo() : UserInfo();
}

void UserInfoManage::clearUserInfo()
{
    if (request)
        request->clearUserInfo();
}

void UserInfoManage::setMainWindow(MainWindow *window)
{
    registeredMainWindow = window;
}

MainWindow *UserInfoManage::mainWindow() const
{
    return registeredMainWindow;
}

void UserInfoManage::GetUserInfoResultSlot(bool result)
{
    emit GetUserInfoResultSignal(result);
}
