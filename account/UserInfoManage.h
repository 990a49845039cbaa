#pragma once

#include "UserInfo.h"

#include <QObject>

class MainWindow;
class UserNetRequest;

// Process-wide keeper of the signed-in user's details and of the main window, which every
// modal popup uses as parent and as owner of the dim overlay. Built on the first call of
// instance(), which also starts the first fetch; destroyed at program exit.
class UserInfoManage : public QObject
{
    Q_OBJECT

public:
    static UserInfoManage *instance();
    ~UserInfoManage() override;

    void refresh();
    UserInfo userInfo() const;
    void clearUserInfo();

    void setMainWindow(MainWindow *window);
    MainWindow *mainWindow() const;

signals:
    void GetUserInfoResultSignal(bool result);

public slots:
    void GetUserInfoResultSlot(bool result);

private:
    UserInfoManage();

    UserNetRequest *request = nullptr;
    MainWindow *registeredMainWindow = nullptr;
};
