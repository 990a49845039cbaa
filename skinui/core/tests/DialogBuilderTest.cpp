#include "ContainerUI.h"
#include "DialogBuilder.h"
#include "FontEntry.h"
#include "ProbeControl.h"
#include "TestFiles.h"
#include "TestWindow.h"
#include "TreeText.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <deque>
#include <functional>
#include <string>
#include <vector>

using namespace SkinUI;
using namespace SkinUI::Testing;

namespace {

// A probe that counts how often it was initialised.
class CountingProbe : public ProbeControl
{
public:
    void DoInit() override { ++inits; }
    int inits = 0;
};

// A container that refuses the first child offered to it.
class PickyContainer : public CContainerUI
{
public:
    bool Add(CControlUI *control) override
    {
        if (refusals-- > 0)
            return false;
        return CContainerUI::Add(control);
    }
    int refusals = 1;
};

// Knows "Probe", "Picky" and "Widget"; records every name it is asked and every probe it
// made, with a flag set when the probe is deleted.
class RecordingCallback : public IDialogBuilderCallback
{
public:
    CControlUI *CreateControl(const wchar_t *className) override
    {
        asked.push_back(className);
        if (onAsked)
            onAsked();
        if (wcscmp(className, L"Probe") == 0) {
            auto *probe = new CountingProbe;
            deleted.push_back(false);
            probe->deletedFlag = &deleted.back();
            probes.push_back(probe);
            return probe;
        }
        if (wcscmp(className, L"Picky") == 0)
            return new PickyContainer;
        if (wcscmp(className, L"Widget") == 0)
            return new ProbeControl(L"from-callback");
        return nullptr;
    }

    std::vector<std::wstring> asked;
    std::vector<CountingProbe *> probes; // in the order made; check deleted before use
    std::deque<bool> deleted;
    std::function<void()> onAsked;
};

CControlUI *WidgetFactory(const wchar_t *className)
{
    return wcscmp(className, L"Widget") == 0 ? new ProbeControl(L"from-factory") : nullptr;
}

CControlUI *Build(const wchar_t *markup, RecordingCallback *callback, CWindowManagerUI *manager,
                  CControlUI *parent = nullptr)
{
    CDialogBuilder builder;
    return builder.CreateFromSource(markup, nullptr, callback, manager, parent);
}

// Skin files come from the tests' skin folder, with no package in the way.
void UseFrameSkinFolder()
{
    CWindowManagerUI::SetResourcePackageFile(L"", false);
    CWindowManagerUI::SetResourcePath((FrameSkinRoot() + L"skin\\").c_str());
}

} // namespace

TEST(DialogBuilder, ResourceElementsAreRegisteredBeforeAnyControlAndNeedTheirKeys)
{
    TestWindow window;
    CWindowManagerUI &manager = window.Manager();
    RecordingCallback callback;
    bool fontsReadyAtFirstControl = false;
    callback.onAsked = [&] {
        if (callback.asked.size() == 1)
            fontsReadyAtFirstControl = manager.GetFontInfo(4)->size == 9;
    };
    CControlUI *root = Build(L"<Window>"
                             L"<Probe name=\"p\" tooltip=\"own\" />"
                             L"<Font id=\"0\" name=\"Arial\" size=\"14\" default=\"true\" />"
                             L"<Font name=\"Courier New\" size=\"30\" default=\"true\" />"
                             L"<Font id=\"-2\" name=\"Courier New\" size=\"31\" default=\"TRUE\" />"
                             L"<FONT ID=\"3\" id=\"4\" Name=\"Tahoma\" SIZE=\"9\" bold=\"True\" />"
                             L"<Image name=\"FF00FF00\" restype=\"*COLOR*\" />"
                             L"<image NAME=\"missing.png\" />"
                             L"<Default name=\"Probe\" value=\"text=&quot;from default&quot; "
                             L"tooltip=&quot;default tip&quot;\" />"
                             L"<MultiLanguage id=\"7\" value=\"seven\" />"
                             L"<MultiLanguage value=\"no id\" />"
                             L"</Window>",
                             &callback, &manager);

    ASSERT_NE(nullptr, root);
    EXPECT_TRUE(fontsReadyAtFirstControl) << "resources come first, wherever they stand";
    FontEntry *defaultFont = manager.GetDefaultFontInfo();
    EXPECT_STREQ(L"Arial", defaultFont->faceName.GetData())
        << "a font without id or with a negative one registers nothing";
    EXPECT_EQ(14, defaultFont->size);
    EXPECT_TRUE(manager.GetFontInfo(4)->bold) << "names in any case, the last one counts";
    EXPECT_EQ(defaultFont, manager.GetFontInfo(3));
    EXPECT_NE(nullptr, manager.GetImage(L"FF00FF00"));
    EXPECT_EQ(nullptr, manager.GetImage(L"missing.png"));
    EXPECT_STREQ(L"seven", CWindowManagerUI::GetLanguageString(7));
    EXPECT_EQ(L"from default", std::wstring(root->GetText().GetData()))
        << "the default list applies first";
    EXPECT_EQ(L"own", std::wstring(root->GetToolTip().GetData())) << "then the attributes";
    delete root;
}

// A skin cannot make its window, or the smallest size it may be dragged to, larger than all
// the screens together: every paint of such a window would cover billions of pixels.
TEST(DialogBuilder, AWindowSizeStaysWithinTheScreens)
{
    const LONG screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const LONG screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ASSERT_GT(screenWidth, 0);
    TestWindow window;
    RecordingCallback callback;
    delete Build(L"<Window size=\"3002147483647,240\" mininfo=\"2147483647,99999\"><Probe />"
                 L"</Window>",
                 &callback, &window.Manager());
    RECT bounds = {};
    GetWindowRect(window.Handle(), &bounds);
    EXPECT_EQ(screenWidth, bounds.right - bounds.left);
    EXPECT_EQ(240, bounds.bottom - bounds.top);
    MINMAXINFO info = {};
    window.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(screenWidth, info.ptMinTrackSize.x);
    EXPECT_EQ(screenHeight, info.ptMinTrackSize.y);
}

TEST(DialogBuilder, WindowAttributesComeOnlyFromAWindowElementOfAManagerWithAWindow)
{
    TestWindow window;
    RecordingCallback callback;
    delete Build(L"<WINDOW size=\"150,90\" caption=\"0,0,0,20\" custom=\"x\"><Probe /></WINDOW>",
                 &callback, &window.Manager());
    EXPECT_EQ(150, window.Manager().GetInitSize().cx);
    EXPECT_EQ(20, window.Manager().GetCaptionRect().bottom);
    EXPECT_STREQ(L"x", window.Manager().GetWindowCustomAttribute(L"custom"));

    TestWindow other;
    delete Build(L"<Dialog size=\"10,10\" custom=\"y\"><Probe /></Dialog>", &callback,
                 &other.Manager());
    EXPECT_EQ(0, other.Manager().GetInitSize().cx);
    EXPECT_EQ(nullptr, other.Manager().GetWindowCustomAttribute(L"custom"));

    CWindowManagerUI unbound;
    delete Build(L"<Window custom=\"z\"><Probe /></Window>", &callback, &unbound);
    EXPECT_EQ(nullptr, unbound.GetWindowCustomAttribute(L"custom"));
}

TEST(DialogBuilder, ClassNamesGoToTheTableThenTheFactoriesThenTheCallback)
{
    RecordingCallback callback;
    CPointerArray &factories = CWindowManagerUI::GetControlFactories();
    factories.Add(reinterpret_cast<void *>(&WidgetFactory));
    CControlUI *root = Build(L"<Window><CONTAINER name=\"top\">"
                             L"<control name=\"plain\" />"
                             L"<Widget />"
                             L"<Gizmo name=\"unknown\"><Probe name=\"inside\" /></Gizmo>"
                             L"<Probe name=\"probe\" text=\"one\" text=\"two\" />"
                             L"</CONTAINER></Window>",
                             &callback, nullptr);
    factories.Remove(factories.Find(reinterpret_cast<void *>(&WidgetFactory)));

    EXPECT_EQ(L"Container:top[Control:plain,Control:from-factory,Control:probe]", TreeText(root));
    EXPECT_EQ((std::vector<std::wstring>{L"Gizmo", L"Probe"}), callback.asked)
        << "an unknown class is skipped with everything inside it";
    EXPECT_EQ(L"two", std::wstring(callback.probes[0]->GetText().GetData()))
        << "an attribute written twice is applied twice";
    EXPECT_EQ(nullptr, Build(L"<Window><Gizmo /></Window>", nullptr, nullptr))
        << "without a callback too";
    delete root;
}

TEST(DialogBuilder, TheFrameworksClassesAreKnownByTheirSkinNamesInAnyLetterCase)
{
    const struct
    {
        const wchar_t *skinName;
        const wchar_t *className;
    } classes[] = {
        {L"Control", L"Control"},
        {L"CONTAINER", L"Container"},
        {L"label", L"Label"},
        {L"Button", L"Button"},
        {L"PROGRESS", L"Progress"},
        {L"sLiDeR", L"Slider"},
        {L"vbox", L"VerticalLayout"},
        {L"HBOX", L"HorizontalLayout"},
        {L"VerticalLayout", L"VerticalLayout"},
        {L"horizontallayout", L"HorizontalLayout"},
        {L"TabLayout", L"TabLayout"},
        {L"SCROLLBAR", L"ScrollBar"},
        {L"activex", L"ActiveX"},
        {L"RICHEDIT", L"RichEdit"},
        {L"WebBrowser", L"WebBrowser"},
        {L"list", L"List"},
        {L"LISTHEADER", L"ListHeader"},
        {L"ListHeaderItem", L"ListHeaderItem"},
        {L"listlabelelement", L"ListLabelElement"},
        {L"ListTextElement", L"ListTextElement"},
        {L"ListContainerElement", L"ListContainerElement"},
        {L"LISTHBOXELEMENT", L"ListHBoxElement"},
        {L"Combo", L"Combo"},
        {L"combobox", L"Combo"},
        {L"Tree", L"TreeView"},
        {L"TREEVIEW", L"TreeView"},
    };
    for (const auto &entry : classes) {
        CControlUI *control = CDialogBuilder::CreateBuiltInControl(entry.skinName);
        ASSERT_NE(nullptr, control) << entry.skinName;
        EXPECT_STREQ(entry.className, control->GetClass());
        delete control;
    }
    EXPECT_EQ(nullptr, CDialogBuilder::CreateBuiltInControl(L"Buttons"));
    EXPECT_EQ(nullptr, CDialogBuilder::CreateBuiltInControl(L"TreeNode"));
}

TEST(DialogBuilder, AParentThatRefusesEndsOnlyItsOwnSiblingList)
{
    RecordingCallback callback;
    CControlUI *root =
        Build(L"<Window><Container name=\"top\">"
              L"<Control name=\"leaf\"><Probe name=\"orphan\" /><Probe /></Control>"
              L"<Picky name=\"picky\"><Probe name=\"refused\" /><Probe name=\"kept\" />"
              L"</Picky>"
              L"<Control name=\"after\" />"
              L"</Container></Window>",
              &callback, nullptr);

    EXPECT_EQ(L"Container:top[Control:leaf,Container:picky[Control:kept],Control:after]",
              TreeText(root));
    ASSERT_EQ(3u, callback.probes.size()) << "the leaf's second child is never made";
    EXPECT_TRUE(callback.deleted[0]) << "a child of a parent without children is deleted";
    EXPECT_TRUE(callback.deleted[1]) << "a child the container refuses is deleted";
    EXPECT_FALSE(callback.deleted[2]);
    delete root;
}

TEST(DialogBuilder, WithoutAParentOnlyTheFirstControlHasAnOwner)
{
    RecordingCallback callback;
    CControlUI *root = Build(L"<Window><Include source=\"&lt;Window&gt;&lt;Probe "
                             L"name=&quot;included&quot;/&gt;&lt;/Window&gt;\" />"
                             L"<Probe name=\"first\" /><Probe name=\"second\" /></Window>",
                             &callback, nullptr);

    EXPECT_EQ(L"Control:first", TreeText(root)) << "an Include is never the result";
    ASSERT_EQ(3u, callback.probes.size());
    EXPECT_TRUE(callback.deleted[0]) << "the included control had nowhere to go";
    EXPECT_FALSE(callback.deleted[1]);
    EXPECT_TRUE(callback.deleted[2]) << "nobody would own a second top-level control";
    delete root;
}

TEST(DialogBuilder, ACoverNeedsExactlyTrueAndIsBoundWhenTheTreeIsTaken)
{
    RecordingCallback callback;
    // Outlives the window, whose tree tells it when its probes go.
    RecordingCallback second;
    CControlUI *root = Build(L"<Window><Container name=\"box\">"
                             L"<Probe name=\"lid\" cover=\"true\" />"
                             L"<Probe name=\"child\" cover=\"True\" />"
                             L"</Container></Window>",
                             &callback, nullptr);
    ASSERT_NE(nullptr, root);
    CountingProbe *lid = callback.probes[0];
    EXPECT_EQ(lid, root->GetCover());
    EXPECT_EQ(L"Container:box[Control:child]", TreeText(root)) << "a cover is no child";
    EXPECT_EQ(0, lid->inits) << "nothing to initialise with before there is a manager";

    TestWindow window;
    window.Attach(root);
    EXPECT_EQ(&window.Manager(), lid->GetManager());
    EXPECT_EQ(root, lid->GetParent());
    EXPECT_EQ(1, lid->inits);

    // Built into a parent that has its manager already, the cover is bound at once.
    auto *bound = static_cast<CContainerUI *>(window.Manager().GetRoot());
    Build(L"<Window><Container name=\"inner\"><Probe cover=\"true\" /></Container></Window>",
          &second, &window.Manager(), bound);
    ASSERT_EQ(1u, second.probes.size());
    EXPECT_EQ(1, second.probes[0]->inits);
}

TEST(DialogBuilder, AnIncludeBuildsItsDocumentCountTimesUnderTheSameParent)
{
    RecordingCallback callback;
    CControlUI *root = Build(L"<Window><Container name=\"top\">"
                             L"<Include count=\"3\" source=\"&lt;Window&gt;&lt;Probe "
                             L"name=&quot;x&quot;/&gt;&lt;/Window&gt;\" />"
                             L"<Include count=\"0\" source=\"&lt;Window&gt;&lt;Probe "
                             L"name=&quot;y&quot;/&gt;&lt;/Window&gt;\" />"
                             L"<Include />"
                             L"<Probe name=\"z\" />"
                             L"</Container></Window>",
                             &callback, nullptr);
    EXPECT_EQ(L"Container:top[Control:x,Control:x,Control:x,Control:z]", TreeText(root));
    delete root;
}

TEST(DialogBuilder, AnIncludeThatComesBackToItselfStopsAtTheFixedDepth)
{
    UseFrameSkinFolder();
    RecordingCallback callback;
    CControlUI *self = Build(L"<Window><Container name=\"top\"><Include source=\"includeself.xml\" "
                             L"/></Container></Window>",
                             &callback, nullptr);
    auto *levels = static_cast<IContainerUI *>(self->GetInterface(L"IContainer"));
    EXPECT_EQ(CDialogBuilder::kMaxIncludeDepth, levels->GetCount());
    delete self;

    CControlUI *pingPong =
        Build(L"<Window><Container><Include source=\"includeping.xml\" /></Container></Window>",
              &callback, nullptr);
    auto *turns = static_cast<IContainerUI *>(pingPong->GetInterface(L"IContainer"));
    ASSERT_EQ(CDialogBuilder::kMaxIncludeDepth, turns->GetCount());
    EXPECT_STREQ(L"ping", turns->GetItemAt(0)->GetName().GetData());
    EXPECT_STREQ(L"pong", turns->GetItemAt(1)->GetName().GetData());
    delete pingPong;
}

TEST(DialogBuilder, ADocumentFromAResourceIncludesResourcesOfItsOwnType)
{
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CDialogBuilder builder;
    CControlUI *root = builder.CreateFromSource(202, L"xml");
    EXPECT_EQ(L"Container:host[Control:piece,Control:piece]", TreeText(root));
    delete root;
}

TEST(DialogBuilder, SourcesThatCannotBeLoadedBuildNothing)
{
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    UseFrameSkinFolder();
    CDialogBuilder missingResource;
    EXPECT_EQ(nullptr, missingResource.CreateFromSource(999, L"xml"));
    CDialogBuilder missingFile;
    EXPECT_EQ(nullptr, missingFile.CreateFromSource(L"nosuchskin.xml"));
    CDialogBuilder broken;
    EXPECT_EQ(nullptr, broken.CreateFromSource(L"<Window><Control></Window>"));
    EXPECT_NE(L'\0', broken.GetMarkup().GetErrorMessage()[0]) << "the parser says why";
    CDialogBuilder empty;
    EXPECT_EQ(nullptr, empty.Create());
}
