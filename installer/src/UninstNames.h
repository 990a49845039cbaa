#pragma once

// Names both stages of uninst rely on.

// The copies in the private temp folder: stage one makes them, stage two finds the product
// installer and the silent uninstaller beside itself.
inline constexpr wchar_t kInstallerCopyName[] = L"TZQuorvane_Installer.exe";
inline constexpr wchar_t kUninstallerCopyName[] = L"TZQuorvane_uninstdata.exe";
inline constexpr wchar_t kUninstCopyName[] = L"TZQuorvane_uninstall.exe";

// The caption of every message uninst shows.
inline constexpr wchar_t kMessageCaption[] = L"温馨提示";
