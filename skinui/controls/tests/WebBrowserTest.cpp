// The web browser control against a stand-in browser of ours (tests/fakes), registered in
// the test prefix under a class id of its own: the platform's browser needs an HTML engine
// that the test machines do not have.
#include "ContainerUI.h"
#include "DialogBuilder.h"
#include "FakeServerModule.h"
#include "TestWindow.h"
#include "WebBrowserUI.h"

#include <gtest/gtest.h>

#include <exdispid.h>

#include <memory>

using namespace SkinUI;
using SkinUI::Testing::TestWindow;

namespace {

const GUID kDocHostCommandHandler = {
    0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
const GUID kDownloadManager = {
    0x988934A4, 0x064B, 0x11D3, {0xBB, 0x80, 0x00, 0x10, 0x4B, 0x35, 0xE7, 0xF9}};

FakeServerModule &Server()
{
    static FakeServerModule server(L"FakeWebBrowser.dll");
    return server;
}

class WebBrowserTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_EQ(Server().Register(), S_OK); }
    static void TearDownTestSuite() { Server().Unregister(); }

    void SetUp() override
    {
        ASSERT_TRUE(Server().IsLoaded()) << "the fake browser server did not load";
        Server().ResetLog();
        root = new CContainerUI;
        browser = new CWebBrowserUI;
        browser->SetAttribute(L"clsid", FakeCom::kFakeBrowserText);
        root->Add(browser);
    }

    void TearDown() override
    {
        if (window->Manager().GetRoot() != root)
            delete root;
        window.reset();
        EXPECT_EQ(record().liveObjects, 0) << "calls: " << Server().Calls();
    }

    FakeCom::Record &record() { return Server().Record(); }

    void Show()
    {
        if (window->Manager().GetRoot() != root)
            window->Attach(root);
        else
            root->SetPos(RECT{0, 0, 200, 100}, false);
    }

    HRESULT Fire(DISPID id) { return Server().Export<FakeCom::FireFunction>("FakeFire")(id); }
    HRESULT ScriptError(FakeCom::ScriptErrorInput input, VARIANT *out)
    {
        return Server().Export<FakeCom::ScriptErrorFunction>("FakeScriptError")(input, out);
    }

    std::unique_ptr<TestWindow> window = std::make_unique<TestWindow>(200, 100);
    CContainerUI *root = nullptr;
    CWebBrowserUI *browser = nullptr;
};

TEST_F(WebBrowserTest, IsTheActiveXHostPresetToTheBrowser)
{
    CWebBrowserUI preset;
    EXPECT_TRUE(IsEqualCLSID(preset.GetClsid(), CWebBrowserUI::kBrowserClassId));
    EXPECT_STREQ(preset.GetClass(), L"WebBrowser");
    EXPECT_EQ(preset.GetInterface(L"WebBrowser"), &preset);
    EXPECT_EQ(preset.GetInterface(L"ActiveX"), &preset);
    EXPECT_EQ(preset.GetInterface(L"Container"), nullptr);
}

TEST_F(WebBrowserTest, HomePageIsOpenedOnceAfterCreationWhenAutoNavigateIsOn)
{
    browser->SetAttribute(L"homepage", L"http://127.0.0.1:8080/start.html");
    browser->SetAttribute(L"autonavi", L"true");
    Show();

    EXPECT_EQ(record().objectsCreated, 1);
    ASSERT_NE(browser->GetWebBrowser2(), nullptr);
    EXPECT_EQ(record().navigations, 1);
    EXPECT_STREQ(record().navigatedUrl, L"http://127.0.0.1:8080/start.html");
    EXPECT_FALSE(Server().Logged(L"Navigate2(extra arguments)"));
    EXPECT_EQ(record().sinks, 1) << "the event sink is advised";
    Show();
    EXPECT_EQ(record().navigations, 1);

    browser->Navigate(L"http://127.0.0.1:8080/next.html");
    EXPECT_EQ(record().navigations, 2);
    EXPECT_STREQ(record().navigatedUrl, L"http://127.0.0.1:8080/next.html");
    browser->Navigate(L"");
    browser->Navigate(nullptr);
    EXPECT_EQ(record().navigations, 2);
}

TEST_F(WebBrowserTest, SkinElementMakesABrowserThatOpensItsHomePage)
{
    delete root;
    CDialogBuilder builder;
    root = static_cast<CContainerUI *>(
        builder.CreateFromSource(L"<Window><VerticalLayout>"
                                 L"<WebBrowser name=\"web\" autonavi=\"true\" "
                                 L"homepage=\"http://127.0.0.1:8080/help\" "
                                 L"clsid=\"{6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0003}\" />"
                                 L"</VerticalLayout></Window>",
                                 nullptr, nullptr, &window->Manager()));
    ASSERT_NE(root, nullptr);
    window->Attach(root);
    EXPECT_EQ(record().objectsCreated, 1);
    EXPECT_STREQ(record().navigatedUrl, L"http://127.0.0.1:8080/help");
    EXPECT_NE(window->Manager().FindControlByName(L"web")->GetInterface(L"WebBrowser"), nullptr);
}

TEST_F(WebBrowserTest, AutoNavigateWithoutHomePageNavigatesNowhere)
{
    browser->SetAttribute(L"autonavi", L"true");
    Show();
    EXPECT_NE(browser->GetWebBrowser2(), nullptr);
    EXPECT_EQ(record().navigations, 0);

    auto *manual = new CWebBrowserUI;
    manual->SetAttribute(L"clsid", FakeCom::kFakeBrowserText);
    manual->SetAttribute(L"homepage", L"http://127.0.0.1:8080/");
    root->Add(manual);
    Show();
    EXPECT_EQ(record().objectsCreated, 2);
    EXPECT_EQ(record().navigations, 0) << "without \"autonavi\" the home page waits";
}

TEST_F(WebBrowserTest, NavigationInstallsTheUIHandlerThatSilencesScriptErrors)
{
    Show();
    EXPECT_EQ(Fire(DISPID_BEFORENAVIGATE2), S_OK);
    EXPECT_FALSE(record().uiHandlerSet);
    EXPECT_EQ(Fire(DISPID_NAVIGATECOMPLETE2), S_OK);
    ASSERT_TRUE(record().uiHandlerSet);
    EXPECT_EQ(Fire(DISPID_DOCUMENTCOMPLETE), S_OK);
    EXPECT_EQ(Fire(DISPID_STATUSTEXTCHANGE), S_OK);
    EXPECT_EQ(Fire(DISPID_TITLECHANGE), DISP_E_MEMBERNOTFOUND);

    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(ScriptError(FakeCom::InputDocument, &out), S_OK);
    EXPECT_EQ(V_VT(&out), VT_BOOL);
    EXPECT_EQ(V_BOOL(&out), VARIANT_TRUE) << "scripts go on, no error dialog";
    EXPECT_STREQ(record().propertiesRead,
                 L"errorLine errorCharacter errorCode errorMessage errorUrl ");

    // A malformed request is refused rather than followed.
    VariantInit(&out);
    EXPECT_EQ(ScriptError(FakeCom::InputNone, &out), E_INVALIDARG);
    EXPECT_EQ(ScriptError(FakeCom::InputNumber, &out), E_INVALIDARG);
    EXPECT_EQ(V_VT(&out), VT_EMPTY);
    EXPECT_EQ(ScriptError(FakeCom::InputDocument, nullptr), E_POINTER);
}

TEST_F(WebBrowserTest, CommandTargetAnswersOnlyTheScriptErrorCommand)
{
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(browser->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(browser->Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(browser->Exec(&kDocHostCommandHandler, OLECMDID_PRINT, 0, nullptr, &out),
              OLECMDERR_E_NOTSUPPORTED);
    OLECMD command = {OLECMDID_SHOWSCRIPTERROR, 0};
    EXPECT_EQ(browser->QueryStatus(&kDocHostCommandHandler, 1, &command, nullptr),
              OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(V_VT(&out), VT_EMPTY);
}

TEST_F(WebBrowserTest, DocumentHostKeepsTheBrowsersOwnBehaviour)
{
    void *object = this;
    EXPECT_EQ(browser->QueryService(kDownloadManager, kDownloadManager, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(browser->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(browser->GetHostInfo(nullptr), E_NOTIMPL);
    EXPECT_EQ(browser->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(browser->TranslateAccelerator(nullptr, nullptr, 0), S_FALSE);
    EXPECT_EQ(browser->GetExternal(nullptr), S_FALSE);
    wchar_t dummy[] = L"x";
    LPWSTR translated = dummy;
    EXPECT_EQ(browser->TranslateUrl(0, nullptr, &translated), E_NOTIMPL);
    EXPECT_EQ(translated, nullptr);
    EXPECT_EQ(browser->Invoke(DISPID_NAVIGATECOMPLETE2, IID_IUnknown, 0, DISPATCH_METHOD, nullptr,
                              nullptr, nullptr, nullptr),
              E_INVALIDARG);

    // The interfaces share one count and never delete the control.
    IOleCommandTarget *target = nullptr;
    ASSERT_EQ(browser->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void **>(&target)),
              S_OK);
    IDocHostUIHandler *handler = nullptr;
    ASSERT_EQ(target->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void **>(&handler)),
              S_OK);
    EXPECT_EQ(handler->Release(), 1u);
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(browser->QueryInterface(IID_IOleObject, &object), E_NOINTERFACE);
}

TEST_F(WebBrowserTest, RecreatingReleasesTheOldBrowserAndItsSite)
{
    Show();
    ASSERT_EQ(record().objectsCreated, 1);
    browser->SetAttribute(L"clsid", FakeCom::kFakeBrowserText);
    Show();

    EXPECT_EQ(record().objectsCreated, 2);
    EXPECT_EQ(record().objectsDestroyed, 1) << "the first browser is released";
    EXPECT_EQ(record().sinks, 1) << "only the new browser's sink is advised";
    EXPECT_EQ(window->ChildWindows().size(), 2u) << "one host window and the browser's own";
    Fire(DISPID_NAVIGATECOMPLETE2);
    EXPECT_TRUE(record().uiHandlerSet);

    ITranslateAccelerator *accelerator = browser;
    root->Remove(browser);
    window->PumpPending();
    EXPECT_EQ(record().objectsDestroyed, 2);
    EXPECT_TRUE(window->ChildWindows().empty());
    EXPECT_FALSE(window->Manager().RemoveTranslateAccelerator(accelerator))
        << "the accelerator hook goes with the control, registered only once";
}

// Taken out of the first window's tree and added to a second window's, the browser has its
// keys translated by the second window only.
TEST_F(WebBrowserTest, ABrowserMovedToAnotherWindowHasItsKeysTranslatedThere)
{
    Show();
    ITranslateAccelerator *accelerator = browser;
    TestWindow second(200, 100);
    auto *secondRoot = new CContainerUI;
    second.Attach(secondRoot);

    ASSERT_TRUE(root->Remove(browser, true));
    ASSERT_TRUE(secondRoot->Add(browser));
    EXPECT_FALSE(window->Manager().RemoveTranslateAccelerator(accelerator))
        << "the first window still translates keys for it";
    EXPECT_TRUE(second.Manager().RemoveTranslateAccelerator(accelerator))
        << "the second window translates its keys";
    second.Manager().AddTranslateAccelerator(accelerator);
}

TEST_F(WebBrowserTest, KeysReachTheBrowserOnlyFromItsOwnWindow)
{
    MSG move = {window->Handle(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_EQ(browser->TranslateAccelerator(&move), S_FALSE);
    MSG key = {window->Handle(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_EQ(browser->TranslateAccelerator(&key), E_NOTIMPL) << "no browser yet";

    window->Show();
    Show();
    HWND browserWindow = record().ownWindow;
    ASSERT_NE(browserWindow, nullptr);

    SetFocus(browserWindow);
    ASSERT_EQ(GetFocus(), browserWindow);
    PostMessageW(browserWindow, WM_KEYDOWN, VK_F5, 1);
    EXPECT_TRUE(window->PumpUntil([&] { return record().translatedKeys == 1; }));

    SetFocus(window->Handle());
    PostMessageW(window->Handle(), WM_KEYDOWN, VK_F5, 1);
    window->PumpPending();
    EXPECT_EQ(record().translatedKeys, 1) << "keys elsewhere in the window are not the browser's";
}

} // namespace
