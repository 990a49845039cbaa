// Unpacks uninst's skin package from its program resource and parses "mainWnd.xml", as the
// window does when it is made, a number of times (the argument, 10 by default); prints the
// milliseconds of each run.
#include "ResourceIds.h"
#include "SevenZipPackage.h"
#include "XmlMarkup.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

double Milliseconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

bool UnpackAndParse(const void *package, DWORD size)
{
    SkinUI::C7zPackage *unpacked = SkinUI::SevenZipOpenMemory(package, size);
    if (!unpacked)
        return false;
    int index = -1;
    uint64_t length = 0;
    bool parsed = false;
    if (SkinUI::SevenZipFindItem(unpacked, L"mainWnd.xml", &index, &length) ==
        SkinUI::kSevenZipOk) {
        std::vector<uint8_t> xml(static_cast<size_t>(length));
        SkinUI::CXmlMarkup markup;
        parsed = SkinUI::SevenZipExtractItem(unpacked, index, xml.data(), length) ==
                     SkinUI::kSevenZipOk &&
                 markup.LoadFromMem(xml.data(), static_cast<uint32_t>(length),
                                    SkinUI::XmlEncoding::Utf8);
    }
    SkinUI::SevenZipClose(unpacked);
    return parsed;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const int runs = argc > 1 ? _wtoi(argv[1]) : 10;
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_SKIN_PACKAGE), L"ZIPRES");
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void *package = loaded ? LockResource(loaded) : nullptr;
    if (!package)
        return 1;
    const DWORD size = SizeofResource(nullptr, resource);
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        const bool done = UnpackAndParse(package, size);
        QueryPerformanceCounter(&end);
        if (!done)
            return 2;
        std::printf("unpack-parse-ms %.3f\n", Milliseconds(start, end));
    }
    return 0;
}
