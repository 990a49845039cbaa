#pragma once

#include "WideString.h"

#include <cstdint>
#include <memory>

namespace SkinUI {

// Where skin files come from: plain files under the resource folder, or the entries of one
// skin package (zip or 7z, a file or a block in memory). One record serves the process;
// the window manager's skin-source settings read and write it.
struct SkinResourceSource
{
    // The name a package held in memory goes by.
    static const wchar_t *const kMemoryPackageName;

    CWideString resourcePath; // ends in a backslash when set
    CWideString packageName;  // empty: no package
    bool sevenZip = false;
    bool keepPackageOpen = true;
    void *packageHandle = nullptr; // the open package while it is kept open
    // The process's own copy of a package held in memory; freed when the package closes.
    std::unique_ptr<uint8_t[]> packageCopy;

    static SkinResourceSource &Process();
};

} // namespace SkinUI
