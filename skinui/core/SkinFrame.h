#pragma once

#include "CShadowWindow.h"
#include "WindowImplBase.h"

#include <cstdint>

namespace SkinUI {

// What an application window tells its frame: where the skin comes from and the window
// class to register.
struct SkinFrameSetup
{
    ResourceSourceKind resourceKind;
    int32_t resourceId; // the "ZIPRES" resource of a package resource
    CWideString skinFolder;
    CWideString skinFile;
    CWideString windowClassName;
};

// The skinned window base with its skin settings held as data, a drop shadow configured by
// the skin's own window attributes, and Escape and Return left to the application.
class CSkinFrame : public WindowImplBase
{
public:
    explicit CSkinFrame(const SkinFrameSetup &setup);
    ~CSkinFrame() override;

    const wchar_t *GetWindowClassName() const override;
    const wchar_t *GetSkinFolder() override;
    const wchar_t *GetSkinFile() override;
    ResourceSourceKind GetResourceType() const override;
    const wchar_t *GetResourceID() const override;
    void InitWindow() override;
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;

    CShadowWindow &GetShadow() { return m_shadow; }

private:
    void ConfigureShadow();
    const wchar_t *ShadowAttribute(const wchar_t *name) const;

    int32_t m_resourceKind;
    int32_t m_resourceId;
    CWideString m_skinFolder;
    CWideString m_skinFile;
    CWideString m_windowClassName;
    CShadowWindow m_shadow;
};

} // namespace SkinUI
