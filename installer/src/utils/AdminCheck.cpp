#include "utils/AdminCheck.h"

#include <windows.h>

#include <lm.h>
#include <wtsapi32.h>

namespace Utils {

bool GetActiveSessionUserName(std::wstring &userName)
{
    const DWORD sessionId = WTSGetActiveConsoleSessionId();
    LPWSTR name = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, sessionId, WTSUserName, &name,
                                     &bytes) ||
        name == nullptr) {
        return false;
    }
    userName = name;
    WTSFreeMemory(name);
    return true;
}

bool IsUserAdmin(const std::wstring &userName)
{
    LPBYTE buffer = nullptr;
    if (NetUserGetInfo(nullptr, userName.c_str(), 1, &buffer) != NERR_Success ||
        buffer == nullptr) {
        return false;
    }
    const bool isAdmin = reinterpret_cast<USER_INFO_1 *>(buffer)->usri1_priv == USER_PRIV_ADMIN;
    NetApiBufferFree(buffer);
    return isAdmin;
}

bool IsRunAsAdmin()
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL isMember = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &isMember)) {
        isMember = FALSE;
    }
    FreeSid(administrators);
    return isMember != FALSE;
}

} // namespace Utils
