#pragma once

#include <string>

namespace Utils {

// The user name of the active console session; false (output untouched) when it is unknown.
bool GetActiveSessionUserName(std::wstring &userName);

// True when the local account has administrator privilege.
bool IsUserAdmin(const std::wstring &userName);

// True when the calling process's token is a member of the local Administrators group.
bool IsRunAsAdmin();

} // namespace Utils
