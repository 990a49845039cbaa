#include "MainWnd.h"

#include "FailureText.h"
#include "ModulePaths.h"
#include "ProductLeftovers.h"
#include "ResourceIds.h"
#include "UninstNames.h"
#include "UninstallEvent.h"
#include "utils/ShellOpen.h"

#include "ControlUI.h"
#include "GdiPainter.h"
#include "LabelUI.h"
#include "ProgressUI.h"
#include "TabLayoutUI.h"

#include <shellapi.h>

#include <climits>
#include <cmath>

using namespace SkinUI;

namespace {

const wchar_t kProductName[] = L"Quorvane";
// Opened from the finished page.
const wchar_t kProductSite[] = L"https://www.quorvane.com/";

// The product's name where the skin carries a placeholder.
const wchar_t *const kProductNameLabels[] = {L"softNameLbl", L"sTitleLbl", L"bTitleLbl1",
                                             L"bTitleLbl2"};
const int kProductNameLanguageId = 1;

const wchar_t *const kPageBackgrounds[] = {L"res\\mainWnd\\bg1.png", L"res\\mainWnd\\bg2.png",
                                           L"res\\mainWnd\\bg3.png"};
const wchar_t kFinishedFillPicture[] = L"res\\mainWnd\\installPrg3.png";
const wchar_t kFinishedFill[] = L"file='res\\mainWnd\\installPrg3.png' corner='8,8,8,8'";
// Shown with the finished page, followed by each leftover that could not be removed.
const wchar_t kLeftoversStayedText[] = L"卸载已完成，但以下残留未能删除，可手动删除：";

SkinFrameSetup MainWindowSetup()
{
    return SkinFrameSetup{SourcePackageResource, IDR_SKIN_PACKAGE, L"", L"mainWnd.xml", L"mainWnd"};
}

template <class T> T *FindAs(CWindowManagerUI &manager, const wchar_t *name, const wchar_t *kind)
{
    CControlUI *control = manager.FindControlByName(name);
    return control ? static_cast<T *>(control->GetInterface(kind)) : nullptr;
}

// The fraction as a percentage, cut to an integer; a number beyond any integer (it comes
// from another program's output) is held at the nearest one.
int ToPercent(double fraction)
{
    const double percent = fraction * 100;
    if (std::isnan(percent)) {
        return 0;
    }
    if (percent >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (percent <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(percent);
}

} // namespace

CMainWnd::CMainWnd(std::wstring installDir, DWORD windowlessWaitMs)
    : CSkinFrame(MainWindowSetup()), m_installDir(std::move(installDir)),
      m_windowlessWaitMs(windowlessWaitMs)
{
}

CMainWnd::~CMainWnd()
{
    SettleWithoutWindow();
}

void CMainWnd::SettleWithoutWindow()
{
    if (!m_worker) {
        return;
    }
    if (!m_worker->WaitUntilDone(m_windowlessWaitMs)) {
        // Its thread still uses the worker, and its events only ever go to the window, which
        // is gone: the worker is left to end with the process.
        static_cast<void>(m_worker.release());
        return;
    }
    // Only a success that came when no window was left to act on it: once the window has
    // acted on a result, a failure stays the answer, and after a success what lies there now
    // may be the new installer's.
    if (!m_resultActedOn && m_worker->Succeeded()) {
        RemoveProductLeftovers(m_installDir);
    }
    m_worker.reset();
}

std::wstring CMainWnd::GetInstallerPath()
{
    return FileBesideModule(kInstallerCopyName);
}

// ---- Set-up ----

void CMainWnd::InitWindow()
{
    CSkinFrame::InitWindow();
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_MAXIMIZEBOX);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    const LONG_PTR extendedStyle = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, extendedStyle & ~static_cast<LONG_PTR>(WS_EX_TOPMOST));
    SetIcon(IDI_UNINST);

    FindControls();
    ShowProductName();

    m_events = std::make_shared<UninstallEventChannel>(m_hWnd);
    // The sink knows only the channel, so that events after the window and this object are
    // gone are dropped.
    m_worker = std::make_unique<UninstallWorker>(
        [events = m_events](int32_t code, double value, const std::wstring &text) {
            events->Post(code, value, text);
        },
        FileBesideModule(kUninstallerCopyName), m_installDir);
    CWindowManagerUI::AddLanguageString(kProductNameLanguageId, kProductName);
}

void CMainWnd::FindControls()
{
    m_winCtn = m_manager.FindControlByName(L"winCtn");
    m_mainTabLt = FindAs<CTabLayoutUI>(m_manager, L"mainTabLt", CTabLayoutUI::kClassName);
    m_titleTabLt = FindAs<CTabLayoutUI>(m_manager, L"titleTabLt", CTabLayoutUI::kClassName);
    m_titleGrpCtn = m_manager.FindControlByName(L"titleGrpCtn");
    m_installPrg = FindAs<CProgressUI>(m_manager, L"installPrg", CProgressUI::kClassName);
}

// Each product-name label is as wide as the name in its own font.
void CMainWnd::ShowProductName()
{
    for (const wchar_t *name : kProductNameLabels) {
        auto *label = FindAs<CLabelUI>(m_manager, name, CLabelUI::kClassName);
        if (!label) {
            continue;
        }
        const SIZE size = CGdiPainter::GetTextSize(m_manager.GetPaintDC(), &m_manager, kProductName,
                                                   label->GetFont(), label->GetTextStyle());
        label->SetFixedWidth(size.cx);
        label->SetText(kProductName);
    }
}

// ---- Notifications ----

void CMainWnd::Notify(NotifyMessage &message)
{
    if (message.sender) {
        if (message.type == L"tabselect" && message.sender == m_mainTabLt) {
            ShowPageLook(m_mainTabLt->GetCurSel());
        } else if (message.type == L"timer" && message.sender == m_manager.GetRoot() &&
                   message.wParam == kFinishTimerId) {
            ShowFinishedPage();
        }
    }
    CSkinFrame::Notify(message);
}

// The title row and the background that go with a page: no window buttons while the
// uninstall runs, the product's name on the question page only.
void CMainWnd::ShowPageLook(int page)
{
    if (m_titleGrpCtn) {
        m_titleGrpCtn->SetVisible(page != kProgressPage);
    }
    if (m_titleTabLt) {
        m_titleTabLt->SelectItem(page != kQuestionPage ? 1 : 0);
    }
    if (m_winCtn && page >= kQuestionPage && page <= kFinishedPage) {
        m_winCtn->SetBkImage(kPageBackgrounds[page]);
        m_winCtn->Invalidate();
    }
}

void CMainWnd::ShowFinishedPage()
{
    m_manager.KillTimer(m_manager.GetRoot(), kFinishTimerId);
    if (m_mainTabLt) {
        m_mainTabLt->SelectItem(kFinishedPage);
    }
    // The page says all is done; what stayed behind the user may want to remove by hand.
    if (!m_leftoversStayed.empty()) {
        std::wstring text = kLeftoversStayedText;
        for (const std::wstring &leftover : m_leftoversStayed) {
            text += L"\n" + WrapForMessageBox(leftover);
        }
        m_leftoversStayed.clear();
        MessageBoxW(m_hWnd, text.c_str(), kMessageCaption, MB_OK);
    }
}

bool CMainWnd::OnClick(NotifyMessage &message)
{
    if (!message.sender) {
        return CSkinFrame::OnClick(message);
    }
    const CWideString &name = message.sender->GetName();
    if (name == L"uninsBtn") {
        return StartUninstall();
    }
    if (name == L"thinkBtn" || name == L"closebtn") {
        Close(1);
        return true;
    }
    if (name == L"finishBtn") {
        Utils::ShellOpen(kProductSite, SW_SHOWMAXIMIZED);
        Close(1);
        return true;
    }
    if (name == L"getNewestBtn") {
        ShowWindow(false);
        const HINSTANCE started = ShellExecuteW(nullptr, L"open", GetInstallerPath().c_str(),
                                                nullptr, nullptr, SW_SHOWMAXIMIZED);
        // ShellExecuteW reports success by a value above 32.
        m_installerStarted = reinterpret_cast<INT_PTR>(started) > 32;
        Close(1);
        return true;
    }
    return CSkinFrame::OnClick(message);
}

bool CMainWnd::StartUninstall()
{
    if (m_mainTabLt) {
        m_mainTabLt->SelectItem(kProgressPage);
    }
    if (m_worker && m_worker->Start()) {
        m_uninstallRunning = true;
        return true;
    }
    // The progress page has no way out: the user learns of it as of a child that could not
    // start, and the window closes.
    PostUninstallEvent(kUninstallStartFailedEvent, 2.0, std::wstring());
    return false;
}

// ---- The worker's events ----

LRESULT CMainWnd::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled)
{
    if (message == WM_UNINSTALL_EVENT) {
        OnUninstallEvent(wParam, lParam);
    }
    handled = false;
    return 0;
}

LRESULT CMainWnd::OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool &handled)
{
    // The progress page has no way to close: a window gone mid-way would leave the
    // uninstall's end unseen.
    if (m_uninstallRunning) {
        handled = true;
        return 0;
    }
    return CSkinFrame::OnClose(message, wParam, lParam, handled);
}

void CMainWnd::OnFinalMessage(HWND window)
{
    if (m_events) {
        m_events->Close();
    }
    CSkinFrame::OnFinalMessage(window);
}

void CMainWnd::PostUninstallEvent(int32_t code, double value, const std::wstring &text)
{
    if (m_events) {
        m_events->Post(code, value, text);
    }
}

LRESULT CMainWnd::OnUninstallEvent(WPARAM, LPARAM lParam)
{
    const std::unique_ptr<UninstallEvent> event =
        m_events ? m_events->Receive(lParam)
                 : std::unique_ptr<UninstallEvent>(reinterpret_cast<UninstallEvent *>(lParam));
    if (!event) {
        return 0;
    }
    switch (event->code) {
    case kUninstallErrorEvent:
    case kUninstallStartFailedEvent:
        if (TakeResult()) {
            ShowFailure(event->text);
        }
        break;
    case kUninstallProgressEvent:
        if (m_installPrg) {
            m_installPrg->SetValue(ToPercent(event->value));
        }
        break;
    case kUninstallSucceededEvent:
        if (TakeResult()) {
            OnUninstallSucceeded();
        }
        break;
    default:
        break;
    }
    return 0;
}

// One uninstall has one result: the first. An uninstaller may report more (an error, then
// success), and the failure box's own message loop handles the events that follow while it
// is up; acting on them would tell the user one thing and do another.
bool CMainWnd::TakeResult()
{
    if (m_resultActedOn) {
        return false;
    }
    m_resultActedOn = true;
    m_uninstallRunning = false;
    return true;
}

void CMainWnd::ShowFailure(const std::wstring &text)
{
    MessageBoxW(m_hWnd, ShownFailureText(text).c_str(), kMessageCaption, MB_OK);
    Close(1);
}

// The finished page follows a second later.
void CMainWnd::OnUninstallSucceeded()
{
    // The picture lies where the skin's pictures are: in its package, or in its folder.
    if (m_installPrg && m_manager.GetOrLoadImage(kFinishedFillPicture) != nullptr) {
        m_installPrg->SetForeImage(kFinishedFill);
        m_installPrg->Invalidate();
    }
    m_manager.SetTimer(m_manager.GetRoot(), kFinishTimerId, kFinishDelayMs);
    m_leftoversStayed = RemoveProductLeftovers(m_installDir);
}
