#pragma once

#include <QString>

// The signed-in user's details, handed out by copy; both fields are empty when nobody is
// signed in or nothing has been fetched yet.
struct UserInfo
{
    QString id;
    QString nickname;
};
