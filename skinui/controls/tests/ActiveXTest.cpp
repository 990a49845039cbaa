// The ActiveX host against fake in-process COM servers of our own (tests/fakes): a windowless
// control and a windowed one, loaded through "modulename" or through the registration in
// the test prefix. The fakes log every container call they receive and count their objects.
#include "ActiveXUI.h"
#include "ContainerUI.h"
#include "DialogBuilder.h"
#include "DibSurface.h"
#include "FakeServerModule.h"
#include "TestWindow.h"

#include <gtest/gtest.h>

#include <ocidl.h>

#include <string>
#include <vector>

using namespace SkinUI;
using SkinUI::Testing::TestWindow;

namespace {

const wchar_t kFakeModule[] = L"FakeOleControl.dll";
const RECT kItemRect = {10, 10, 190, 90};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT ClientRectOf(HWND child, HWND parent)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

bool SameRect(const RECT &a, const RECT &b)
{
    return EqualRect(&a, &b) != FALSE;
}

FakeServerModule &Server()
{
    static FakeServerModule server(kFakeModule);
    return server;
}

class ActiveXTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_EQ(Server().Register(), S_OK); }
    static void TearDownTestSuite() { Server().Unregister(); }

    void SetUp() override
    {
        ASSERT_TRUE(Server().IsLoaded()) << "the fake control server did not load";
        Server().ResetLog();
        root = new CContainerUI;
        root->SetInset(RECT{10, 10, 10, 10});
    }

    void TearDown() override
    {
        if (window->Manager().GetRoot() != root)
            delete root;
        // Every fake object must be gone once the window and its controls are.
        window.reset();
        EXPECT_EQ(record().liveObjects, 0) << "calls: " << Calls();
    }

    FakeCom::Record &record() { return Server().Record(); }
    std::string Calls() { return Server().Calls(); }
    bool Logged(const wchar_t *sequence) { return Server().Logged(sequence); }

    // An ActiveX control over the container's client area (kItemRect), in a window.
    CActiveXUI *Host(const wchar_t *classText, const wchar_t *module = kFakeModule)
    {
        auto *control = new CActiveXUI;
        if (module != nullptr)
            control->SetAttribute(L"modulename", module);
        control->SetAttribute(L"clsid", classText);
        root->Add(control);
        Layout();
        return control;
    }

    // Attaches the tree on first use, then lays it out again.
    void Layout()
    {
        if (window->Manager().GetRoot() != root)
            window->Attach(root);
        else
            root->SetPos(RECT{0, 0, 200, 100}, false);
    }

    void RemoveAndCollect(CActiveXUI *control)
    {
        root->Remove(control);
        window->PumpPending();
    }

    std::unique_ptr<TestWindow> window = std::make_unique<TestWindow>(200, 100);
    CContainerUI *root = nullptr;
};

TEST_F(ActiveXTest, WindowlessControlIsActivatedInPlaceAndPaintsIntoTheWindow)
{
    CActiveXUI *control = Host(FakeCom::kWindowlessControlText);

    EXPECT_EQ(record().objectsCreated, 1);
    EXPECT_TRUE(Logged(L"InitNew SetClientSite SetHostNames(UIActiveX) DoVerb(-5) SetSite"))
        << Calls();
    EXPECT_EQ(record().activateResult, S_OK);
    EXPECT_EQ(record().siteWindow, window->Handle());
    EXPECT_EQ(control->GetNativeWindow(), window->Handle());
    EXPECT_TRUE(window->ChildWindows().empty());
    EXPECT_TRUE(SameRect(record().objectRects, kItemRect));
    EXPECT_TRUE(SameRect(record().positionRect, kItemRect));
    EXPECT_EQ(record().siteGetDC, S_FALSE) << "a windowless object draws into the window's DC";
    EXPECT_EQ(window->Notifications().Count(L"showactivex"), 1);

    HDC screen = GetDC(nullptr);
    const LONG himetricWidth = MulDiv(180, 2540, GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(record().extent.cx, himetricWidth);

    const Testing::Pixels pixels = window->PaintTree(0xFF000000);
    EXPECT_EQ(pixels.RgbAt(100, 50), 0x00C81E28u) << "the object's colour in its rectangle";
    EXPECT_EQ(pixels.RgbAt(5, 5), 0u);
    EXPECT_EQ(pixels.CountRgb(0x00C81E28, RECT{0, 0, 200, 100}), 180 * 80);
}

TEST_F(ActiveXTest, ContainerObjectsAnswerAsTheObjectExpects)
{
    Host(FakeCom::kWindowlessControlText);

    EXPECT_TRUE(record().enumeratorGaveObject);
    EXPECT_TRUE(record().secondNextEmpty);
    EXPECT_EQ(record().frameWindow, window->Handle());
    EXPECT_EQ(record().frameGetWindow, window->Handle());
    EXPECT_EQ(record().frameInfoSize, sizeof(OLEINPLACEFRAMEINFO));
    EXPECT_EQ(record().acceleratorEntries, 1u);
    ASSERT_NE(record().accelerators[0], nullptr);
    EXPECT_EQ(record().accelerators[0], record().accelerators[1])
        << "one accelerator table for every window context";
}

TEST_F(ActiveXTest, RemovedWindowlessControlReleasesEverythingItHeld)
{
    CActiveXUI *control = Host(FakeCom::kWindowlessControlText);
    IMessageFilterUI *filter = control;
    const HACCEL accelerators = record().accelerators[0];
    ASSERT_GT(record().liveObjects, 0);

    RemoveAndCollect(control);

    EXPECT_TRUE(Logged(L"SetSite(null) Close(NoSave) SetClientSite(null)")) << Calls();
    EXPECT_EQ(record().objectRefs, 0);
    EXPECT_EQ(record().liveObjects, 0) << "object, frame, enumerator and outer site released";
    EXPECT_EQ(CopyAcceleratorTableW(accelerators, nullptr, 0), 0)
        << "the accelerator table goes with the site";
    EXPECT_FALSE(window->Manager().RemoveMessageFilter(filter))
        << "no message filter entry outlives the control";
}

TEST_F(ActiveXTest, SiteHeldPastTheControlAnswersUnexpected)
{
    CActiveXUI *control = Host(FakeCom::kWindowlessControlText);
    CComReference<IOleClientSite> site;
    {
        CComReference<IOleObject> object;
        ASSERT_EQ(control->GetControl(IID_IOleObject, object.ReceiveVoid()), S_OK);
        object->GetClientSite(site.Receive());
    }
    CComReference<IOleInPlaceSiteWindowless> inPlaceSite;
    ASSERT_EQ(inPlaceSite.QueryFrom(site.Get(), IID_IOleInPlaceSiteWindowless), S_OK);

    RemoveAndCollect(control);
    HWND hostWindow = nullptr;
    EXPECT_EQ(inPlaceSite->GetWindow(&hostWindow), E_UNEXPECTED);
    EXPECT_EQ(site->ShowObject(), E_UNEXPECTED);
    BOOL noRedraw = FALSE;
    EXPECT_EQ(inPlaceSite->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS), E_UNEXPECTED);
    EXPECT_EQ(inPlaceSite->SetFocus(TRUE), E_UNEXPECTED);
    EXPECT_EQ(inPlaceSite->GetWindow(nullptr), E_POINTER);
    // The last reference deletes the site, which lets go of the outer site it was given.
    site.Reset();
    inPlaceSite.Reset();
}

TEST_F(ActiveXTest, FilterIsRegisteredOnceAcrossDeactivationAndReactivation)
{
    CActiveXUI *control = Host(FakeCom::kWindowlessControlText);
    IMessageFilterUI *filter = control;

    CComReference<IOleInPlaceObject> inPlace;
    ASSERT_EQ(control->GetControl(IID_IOleInPlaceObject, inPlace.ReceiveVoid()), S_OK);
    inPlace->InPlaceDeactivate();
    const LONG before = record().windowMessages;
    window->Click(100, 50);
    EXPECT_EQ(record().windowMessages, before) << "a deactivated object gets no messages";

    CComReference<IOleObject> object;
    ASSERT_EQ(control->GetControl(IID_IOleObject, object.ReceiveVoid()), S_OK);
    CComReference<IOleClientSite> site;
    object->GetClientSite(site.Receive());
    for (int i = 0; i < 2; ++i)
        object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, window->Handle(),
                       &kItemRect);
    window->Click(100, 50);
    EXPECT_GT(record().windowMessages, before) << "the re-activated object gets messages again";
    site.Reset();
    object.Reset();
    inPlace.Reset();

    RemoveAndCollect(control);
    EXPECT_FALSE(window->Manager().RemoveMessageFilter(filter));
}

// Taken out of the first window's tree and added to a second window's, a windowless object
// gets the second window's messages, and the first window keeps no filter of it.
TEST_F(ActiveXTest, WindowlessControlMovedToAnotherWindowGetsThatWindowsMessages)
{
    CActiveXUI *control = Host(FakeCom::kWindowlessControlText);
    IMessageFilterUI *filter = control;
    TestWindow second(200, 100);
    auto *secondRoot = new CContainerUI;
    secondRoot->SetInset(RECT{10, 10, 10, 10});
    second.Attach(secondRoot);

    ASSERT_TRUE(root->Remove(control, true));
    ASSERT_TRUE(secondRoot->Add(control));
    secondRoot->SetPos(RECT{0, 0, 200, 100}, false);
    EXPECT_FALSE(window->Manager().RemoveMessageFilter(filter))
        << "the first window still hands its messages to the object";
    const LONG before = record().windowMessages;
    second.Click(100, 50);
    EXPECT_GT(record().windowMessages, before) << "the object gets the second window's messages";
}

TEST_F(ActiveXTest, WindowlessObjectGetsMouseOverItAndKeysWhileFocused)
{
    CActiveXUI *control = Host(FakeCom::kWindowlessControlText);

    window->Click(5, 5);
    EXPECT_EQ(record().windowMessages, 0) << "a click beside the object is not its";
    window->KeyDown('A');
    EXPECT_EQ(record().windowMessages, 0) << "keys only while the control has the focus";

    window->LeftDown(100, 50);
    EXPECT_EQ(record().lastMessage, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_TRUE(control->IsFocused()) << "a click on the object focuses the control";
    window->LeftUp(100, 50);
    window->KeyDown('A');
    EXPECT_EQ(record().lastMessage, static_cast<UINT>(WM_KEYDOWN));

    // A wheel message carries a screen point: away from the screen origin the object is hit
    // only when that point is converted.
    SetWindowPos(window->Handle(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const LONG before = record().windowMessages;
    window->Wheel(100, 50, -WHEEL_DELTA);
    EXPECT_EQ(record().windowMessages, before + 1);
    EXPECT_EQ(record().lastMessage, static_cast<UINT>(WM_MOUSEWHEEL));

    control->SetMouseEnabled(false);
    window->MouseMove(100, 50);
    EXPECT_EQ(record().lastMessage, static_cast<UINT>(WM_MOUSEWHEEL))
        << "no mouse messages while mouse input is off";
}

TEST_F(ActiveXTest, WindowedObjectLivesInAChildWindowThatFollowsTheControl)
{
    CActiveXUI *control = Host(FakeCom::kWindowedControlText);

    EXPECT_TRUE(Logged(L"SetClientSite InitNew SetHostNames(UIActiveX) DoVerb(-5)")) << Calls();
    const std::vector<HWND> children = window->ChildWindows();
    ASSERT_EQ(children.size(), 2u) << "the host window and the object's own window";
    HWND host = children[0];
    EXPECT_EQ(ClassOf(host), L"ActiveXWnd");
    EXPECT_EQ(GetParent(host), window->Handle());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(host, GWL_STYLE)) & 0xFFFF0000u, 0x56000000u);
    wchar_t title[32] = {};
    GetWindowTextW(host, title, 32);
    EXPECT_STREQ(title, L"UIActiveX");
    EXPECT_EQ(record().siteWindow, host);
    EXPECT_EQ(GetParent(record().ownWindow), host);
    EXPECT_EQ(control->GetNativeWindow(), host);
    EXPECT_TRUE(SameRect(ClientRectOf(host, window->Handle()), kItemRect));
    EXPECT_TRUE(SameRect(record().objectRects, RECT{0, 0, 180, 80}))
        << "the object's rectangle starts at the child window's origin";

    // Focus in the child window makes the object UI-active.
    window->Show();
    SetFocus(host);
    EXPECT_TRUE(Logged(L"DoVerb(-4)")) << Calls();

    control->Move(5, 7);
    EXPECT_TRUE(SameRect(ClientRectOf(host, window->Handle()), RECT{15, 17, 195, 97}));
    control->SetVisible(false);
    EXPECT_FALSE(GetWindowLongPtrW(host, GWL_STYLE) & WS_VISIBLE);
    control->SetVisible(true);
    EXPECT_TRUE(GetWindowLongPtrW(host, GWL_STYLE) & WS_VISIBLE);

    // The child window draws the object when printed, as a layered window asks it to.
    Testing::DibSurface surface(180, 80, 0xFF000000);
    SendMessageW(host, WM_PRINT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT);
    EXPECT_EQ(surface.Rgb(90, 40), 0x001EA03Cu);

    RemoveAndCollect(control);
    EXPECT_TRUE(window->ChildWindows().empty()) << "no child window left behind";
    EXPECT_EQ(record().objectRefs, 0);
}

TEST_F(ActiveXTest, RegistryAndProgramIdReachTheRegisteredServer)
{
    // A module without a class factory export falls back to the registry.
    Host(FakeCom::kWindowlessControlText, L"kernel32.dll");
    EXPECT_EQ(record().objectsCreated, 1);

    auto *byProgId = new CActiveXUI;
    byProgId->SetAttribute(L"clsid", FakeCom::kWindowlessProgId);
    root->Add(byProgId);
    Layout();
    EXPECT_EQ(record().objectsCreated, 2);

    auto *unknown = new CActiveXUI;
    unknown->SetAttribute(L"clsid", L"{6A1C39E2-5B0E-4C55-9D7A-1F00C0DE00FF}");
    root->Add(unknown);
    Layout();
    EXPECT_EQ(record().objectsCreated, 2) << "an unknown class makes nothing";
    EXPECT_TRUE(unknown->IsCreated());
    EXPECT_EQ(unknown->GetNativeWindow(), nullptr);
}

TEST_F(ActiveXTest, CreationWaitsForTheLayoutUnlessDelayIsOff)
{
    auto *control = new CActiveXUI;
    control->SetAttribute(L"modulename", kFakeModule);
    EXPECT_FALSE(control->CreateControl(L"{00000000-0000-0000-0000-000000000000}"));
    EXPECT_TRUE(control->CreateControl(FakeCom::kWindowlessControlText));
    EXPECT_FALSE(control->CreateControl(L"{00000000-0000-0000-0000-000000000000}"));
    EXPECT_TRUE(IsEqualCLSID(control->GetClsid(), FakeCom::kWindowlessControl))
        << "the zero class id leaves the previous one";
    EXPECT_FALSE(control->CreateControl(L"no such program id"));
    root->Add(control);
    EXPECT_EQ(record().objectsCreated, 0) << "nothing before the first layout";
    Layout();
    EXPECT_EQ(record().objectsCreated, 1);

    // A new class id re-arms creation; with the delay off it happens at once, and the old
    // object goes.
    control->SetAttribute(L"clsid", FakeCom::kWindowedControlText);
    control->SetAttribute(L"delaycreate", L"false");
    EXPECT_EQ(record().objectsCreated, 2);
    EXPECT_EQ(window->ChildWindows().size(), 2u);
    control->SetAttribute(L"clsid", FakeCom::kWindowlessControlText);
    EXPECT_EQ(record().objectsCreated, 3);
    EXPECT_TRUE(window->ChildWindows().empty());
}

TEST_F(ActiveXTest, ObjectThatFailsInitialisationIsNotActivated)
{
    record().failInitNew = true;
    CActiveXUI *control = Host(FakeCom::kWindowlessControlText);
    EXPECT_EQ(record().objectsCreated, 1);
    EXPECT_FALSE(Logged(L"DoVerb")) << Calls();
    EXPECT_EQ(control->GetNativeWindow(), nullptr);
    const Testing::Pixels pixels = window->PaintTree(0xFF000000);
    EXPECT_EQ(pixels.CountRgb(0x00C81E28, RECT{0, 0, 200, 100}), 0);
}

TEST_F(ActiveXTest, SkinElementHostsTheNamedControl)
{
    delete root;
    CDialogBuilder builder;
    root = static_cast<CContainerUI *>(
        builder.CreateFromSource(L"<Window><VerticalLayout inset=\"10,10,10,10\">"
                                 L"<ActiveX name=\"host\" modulename=\"FakeOleControl.dll\" "
                                 L"clsid=\"{6A1C39E2-5B0E-4C55-9D7A-1F00C0DE0001}\" />"
                                 L"</VerticalLayout></Window>",
                                 nullptr, nullptr, &window->Manager()));
    ASSERT_NE(root, nullptr);
    window->Attach(root);
    EXPECT_EQ(record().objectsCreated, 1);
    CControlUI *host = window->Manager().FindControlByName(L"host");
    ASSERT_NE(host, nullptr);
    EXPECT_NE(host->GetInterface(L"ActiveX"), nullptr);
    EXPECT_EQ(window->PaintTree(0xFF000000).RgbAt(100, 50), 0x00C81E28u);
}

TEST_F(ActiveXTest, ClassNameAndInterfaces)
{
    CActiveXUI control;
    EXPECT_STREQ(control.GetClass(), L"ActiveX");
    EXPECT_EQ(control.GetInterface(L"ActiveX"), &control);
    EXPECT_EQ(control.GetInterface(L"Control"), static_cast<CControlUI *>(&control));
    EXPECT_EQ(control.GetInterface(L"Container"), nullptr);
    EXPECT_EQ(control.GetBehaviorFlags(), static_cast<UINT>(BehaviorTabStop));
    void *object = &control;
    EXPECT_EQ(control.GetControl(IID_IUnknown, &object), E_PENDING);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(control.GetControl(IID_IUnknown, nullptr), E_POINTER);
}

} // namespace
