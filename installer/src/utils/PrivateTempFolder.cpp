#include "utils/PrivateTempFolder.h"

#include <string>

namespace Utils {

namespace {

const wchar_t kPrivateFolderName[] = L"~TZTemp\\";

bool IsFolder(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

unsigned int GetPrivateTempFolder(DWORD bufferSize, wchar_t *buffer)
{
    wchar_t tempPath[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, tempPath);
    if (length == 0 || length > MAX_PATH) {
        return 1;
    }
    const std::wstring folder = std::wstring(tempPath, length) + kPrivateFolderName;
    // A cut path would name some other folder, so a buffer that is too small is a failure.
    if (buffer == nullptr || folder.size() >= bufferSize) {
        return 1;
    }
    if (!IsFolder(folder) && !CreateDirectoryW(folder.c_str(), nullptr)) {
        return 1;
    }
    folder.copy(buffer, folder.size());
    buffer[folder.size()] = L'\0';
    return 0;
}

} // namespace Utils
