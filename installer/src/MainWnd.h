#pragma once

#include "SkinFrame.h"
#include "UninstallEventChannel.h"
#include "UninstallWorker.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace SkinUI {
class CControlUI;
class CProgressUI;
class CTabLayoutUI;
} // namespace SkinUI

// uninst's window, skinned from "mainWnd.xml" in the 7z package resource: the question
// whether to uninstall, the progress page and the finished page. It runs the uninstall worker
// once the user confirms, shows its progress, and after a successful uninstall removes what
// the product left behind.
class CMainWnd : public SkinUI::CSkinFrame
{
public:
    // How long a running uninstall is waited for once the window is gone.
    static const DWORD kWindowlessWaitMs = 120000;

    explicit CMainWnd(std::wstring installDir, DWORD windowlessWaitMs = kWindowlessWaitMs);
    // Once the window is gone, waits for a running uninstall to end, up to the windowless
    // wait, and removes the leftovers if it succeeded without the window having acted on a
    // result. An uninstall that outlives the wait is left to end with the process.
    ~CMainWnd() override;

    void InitWindow() override;
    void Notify(SkinUI::NotifyMessage &message) override;
    bool OnClick(SkinUI::NotifyMessage &message) override;
    // Passes every message on (handled stays false), after reacting to the worker's events.
    LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;
    // Refuses to close while the uninstall runs and has not yet told how it ended.
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;
    // Frees the events the window has not handled; none is posted after it.
    void OnFinalMessage(HWND window) override;

    // Handles the event record in lParam and frees it.
    LRESULT OnUninstallEvent(WPARAM wParam, LPARAM lParam);
    // The worker's event sink, called on the worker's thread: posts the event to this window
    // as a heap record, which the window frees; nothing once it is gone.
    void PostUninstallEvent(int32_t code, double value, const std::wstring &text);

    // The product installer that the relaunch copied beside uninst.
    static std::wstring GetInstallerPath();
    // Whether the user started that installer from the finished page.
    bool InstallerStarted() const { return m_installerStarted; }

private:
    // Pages of "mainTabLt".
    enum Page
    {
        kQuestionPage = 0,
        kProgressPage = 1,
        kFinishedPage = 2,
    };
    static const UINT kFinishTimerId = 1;
    static const UINT kFinishDelayMs = 1000;

    void FindControls();
    void ShowProductName();
    bool StartUninstall();
    void ShowPageLook(int page);
    void ShowFinishedPage();
    bool TakeResult();
    void OnUninstallSucceeded();
    void ShowFailure(const std::wstring &text);
    void SettleWithoutWindow();

    SkinUI::CControlUI *m_winCtn = nullptr;
    SkinUI::CTabLayoutUI *m_mainTabLt = nullptr;
    SkinUI::CTabLayoutUI *m_titleTabLt = nullptr;
    SkinUI::CControlUI *m_titleGrpCtn = nullptr;
    SkinUI::CProgressUI *m_installPrg = nullptr;
    std::unique_ptr<UninstallWorker> m_worker;
    std::wstring m_installDir;
    DWORD m_windowlessWaitMs;
    // The way to the window for the worker's events, made before the worker; shared with the
    // worker's sink, which may outlive this object.
    std::shared_ptr<UninstallEventChannel> m_events;
    // From the start of the uninstall until an event tells how it ended.
    bool m_uninstallRunning = false;
    // The window has acted on the uninstall's result (shown its failure, or removed the
    // leftovers of its success); later results change nothing.
    bool m_resultActedOn = false;
    // Leftovers of the success that could not be removed, told of with the finished page.
    std::vector<std::wstring> m_leftoversStayed;
    bool m_installerStarted = false;
};
