// Input commands become the clicks and keys a person would make: fields
// get their text, window parts get their clicks, and what is not there is
// reported instead of clicked.
#include <gtest/gtest.h>

#include "platform/core/PascalStrings.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "tools/scenario/ScenarioInput.h"

using namespace scenario;

namespace {

constexpr short kTestDialog = 900;

Command Parse(const std::string& line)
{
    std::vector<Command> commands;
    ScriptError error;
    EXPECT_TRUE(ParseScript(line, &commands, &error)) << error.reason;
    return commands.empty() ? Command{} : commands[0];
}

class ScriptInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(800, 600);
        ClearResourceTemplates();
        RegisterItemListTemplate(
            kTestDialog, ItemListTemplate{{{kButtonDialogItem, Rect{80, 200, 100, 270}, "OK", 0},
                                           {kEditTextDialogItem, Rect{20, 20, 36, 270}, "old", 0},
                                           {kCheckBoxDialogItem, Rect{50, 20, 68, 200}, "Option", 0}}});
        RegisterDialogTemplate(kTestDialog,
                               DialogTemplate{Rect{100, 100, 210, 390}, movableDBoxProc, true, false, 0, kTestDialog,
                                              "Test"});
        dialog = GetNewDialog(kTestDialog, nullptr, reinterpret_cast<WindowPtr>(-1L));
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override
    {
        harness::SetIdleProc(nullptr);
        DisposeDialog(dialog);
    }

    // Runs the dialog until the scripted input is used up, then clicks OK.
    std::vector<short> RunDialog()
    {
        bool done = false;
        harness::SetIdleProc([&]() {
            if (!done)
                harness::ClickDialogItem(dialog, 1);
            done = true;
        });
        std::vector<short> hits;
        DialogItemIndex hit = 0;
        do {
            ModalDialog(nullptr, &hit);
            hits.push_back(hit);
        } while (hit != 1);
        return hits;
    }

    std::string FieldText() { return harness::GetDialogState(dialog).items[1].text; }

    DialogPtr dialog = nullptr;
};

TEST_F(ScriptInputTest, SetReplacesAFieldsTextAndTypeAddsToIt)
{
    EXPECT_EQ(ScriptInput(Parse("set 2 \"two words\""), "/"), "");
    RunDialog();
    EXPECT_EQ(FieldText(), "two words");

    EXPECT_EQ(ScriptInput(Parse("set 2 ab"), "/"), "");
    EXPECT_EQ(ScriptInput(Parse("type c\xC3\xA9 d"), "/"), "");
    RunDialog();
    EXPECT_EQ(FieldText(), "abc\xC3\xA9 d");

    EXPECT_EQ(ScriptInput(Parse("set 2"), "/"), "");
    RunDialog();
    EXPECT_EQ(FieldText(), "");
}

TEST_F(ScriptInputTest, WhatIsNotThereIsReportedAndNothingIsScripted)
{
    const std::pair<const char*, const char*> cases[] = {
        {"item 4", "the dialog in front has no item 4"},
        {"set 3 x", "item 3 of the dialog in front is not an edit field"},
        {"click \"Nothing\" 1 1", "no window titled \"Nothing\""},
        {"part \"Test\" close", "the window \"Test\" has no close part"},
        {"part screen title", "the screen has no title part; name a window"},
        {"menu 128 1", "menu 128 is not in the menu bar"},
        {"nav choose a.mov", "no file dialog in front"},
    };
    for (const auto& [line, reason] : cases)
        EXPECT_EQ(ScriptInput(Parse(line), "/"), reason) << line;
    HideWindow(dialog);
    EXPECT_EQ(ScriptInput(Parse("click \"Test\" 1 1"), "/"), "the window \"Test\" is hidden");
    EXPECT_TRUE(harness::ScriptEmpty());
}

TEST_F(ScriptInputTest, PartsAreClickedWhereTheWindowHasThem)
{
    Rect bounds{200, 300, 400, 600};
    WindowPtr w = NewCWindow(nullptr, &bounds, "Doc"_p, true, zoomDocProc, reinterpret_cast<WindowPtr>(-1L), true, 0);
    const std::pair<const char*, short> parts[] = {
        {"title", inDrag}, {"close", inGoAway}, {"zoom", inZoomOut}, {"grow", inGrow}};
    for (const auto& [part, code] : parts) {
        EXPECT_EQ(ScriptInput(Parse(std::string("part \"Doc\" ") + part + " option"), "/"), "");
        EventRecord ev{};
        ASSERT_TRUE(WaitNextEvent(mDownMask, &ev, 0, nullptr)) << part;
        WindowPtr hit = nullptr;
        EXPECT_EQ(FindWindow(ev.where, &hit), code) << part;
        EXPECT_EQ(hit, w);
        EXPECT_NE(ev.modifiers & optionKey, 0) << part;
        harness::RunEvents();
    }
    EXPECT_EQ(ScriptInput(Parse("click \"Doc\" 10 20"), "/"), "");
    EventRecord ev{};
    ASSERT_TRUE(WaitNextEvent(mDownMask, &ev, 0, nullptr));
    EXPECT_EQ(ev.where.h, 310);
    EXPECT_EQ(ev.where.v, 220);
    harness::RunEvents();
    EXPECT_EQ(GetCurrentKeyModifiers() & optionKey, 0u);  // let go after each command
    DisposeWindow(w);
}

TEST(ScriptPathTest, RelativePathsStartAtTheScriptsFolder)
{
    EXPECT_EQ(ScriptPath("/a/b", "c.mov"), "/a/b/c.mov");
    EXPECT_EQ(ScriptPath("/a/b", "../c.mov"), "/a/c.mov");
    EXPECT_EQ(ScriptPath("/a/b", "/x/c.mov"), "/x/c.mov");
}

}  // namespace
