#include "SkinFileReader.h"

#include "ResourcePackage.h"
#include "ScopedHandle.h"

#include <new>

namespace SkinUI {

namespace {

const wchar_t *const kErrorOpeningFile = L"Error opening file";
const wchar_t *const kFileIsEmpty = L"File is empty";
const wchar_t *const kFileTooLarge = L"File too large";
const wchar_t *const kCouldNotReadFile = L"Could not read file";
const wchar_t *const kErrorOpeningPackage = L"Error opening zip file";
const wchar_t *const kEntryNotFound = L"Could not find ziped file";
const wchar_t *const kCouldNotUnpack = L"Could not unzip file";

// Closes a package opened for one read, whatever way the read ends.
class PackageForOneRead
{
public:
    PackageForOneRead(void *handle, bool sevenZip, bool owned)
        : m_handle(handle), m_sevenZip(sevenZip), m_owned(owned)
    {
    }
    PackageForOneRead(const PackageForOneRead &) = delete;
    PackageForOneRead &operator=(const PackageForOneRead &) = delete;
    ~PackageForOneRead()
    {
        if (m_owned && m_handle != nullptr)
            ResourcePackage::Close(m_handle, m_sevenZip);
    }
    void *Get() const { return m_handle; }

private:
    void *m_handle;
    bool m_sevenZip;
    bool m_owned;
};

} // namespace

const wchar_t *SkinFileReader::Read(const SkinResourceSource &source, const wchar_t *name,
                                    SkinFileBytes &bytes, uint32_t maxSize)
{
    bytes = SkinFileBytes();
    if (name == nullptr)
        name = L"";
    if (source.packageName.IsEmpty())
        return ReadPlainFile((source.resourcePath + name).GetData(), bytes, maxSize);
    return ReadPackageEntry(source, name, bytes, maxSize);
}

const wchar_t *SkinFileReader::ReadPlainFile(const wchar_t *path, SkinFileBytes &bytes,
                                             uint32_t maxSize)
{
    bytes = SkinFileBytes();
    ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return kErrorOpeningFile;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size))
        return kCouldNotReadFile;
    if (size.QuadPart == 0)
        return kFileIsEmpty;
    if (size.QuadPart > maxSize)
        return kFileTooLarge;
    DWORD length = static_cast<DWORD>(size.QuadPart);
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[length]);
    DWORD read = 0;
    if (data == nullptr || !ReadFile(file.Get(), data.get(), length, &read, nullptr) ||
        read != length)
        return kCouldNotReadFile;
    bytes.data = std::move(data);
    bytes.size = length;
    return nullptr;
}

bool SkinFileReader::ReadSkinFileOrPath(const SkinResourceSource &source, const wchar_t *name,
                                        SkinFileBytes &bytes, uint32_t maxSize)
{
    if (name == nullptr)
        return false;
    return Read(source, name, bytes, maxSize) == nullptr ||
           ReadPlainFile(name, bytes, maxSize) == nullptr;
}

const wchar_t *SkinFileReader::ReadPackageEntry(const SkinResourceSource &source,
                                                const wchar_t *name, SkinFileBytes &bytes,
                                                uint32_t maxSize)
{
    bool cached = source.keepPackageOpen;
    void *handle = cached ? source.packageHandle
                          : ResourcePackage::OpenFile(
                                (source.resourcePath + source.packageName.GetData()).GetData(),
                                source.sevenZip);
    PackageForOneRead package(handle, source.sevenZip, !cached);
    if (package.Get() == nullptr)
        return kErrorOpeningPackage;
    int index = -1;
    uint64_t size = 0;
    if (!ResourcePackage::Find(package.Get(), source.sevenZip, name, &index, &size))
        return kEntryNotFound;
    if (size == 0)
        return kFileIsEmpty;
    if (size > maxSize || size > ResourcePackage::kMaxInflatedSize)
        return kFileTooLarge;
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size]);
    if (data == nullptr ||
        !ResourcePackage::Extract(package.Get(), source.sevenZip, index, data.get(), size))
        return kCouldNotUnpack;
    bytes.data = std::move(data);
    bytes.size = static_cast<uint32_t>(size);
    return nullptr;
}

} // namespace SkinUI
