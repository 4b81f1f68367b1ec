#include "platform/ui/dialogs/Dialogs.h"

#include <functional>
#include <tuple>
#include <vector>

#include "ToolboxTestSupport.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/resources/Resources.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/harness/DialogHarness.h"

namespace {

DialogItemTemplate Item(short type, Rect r, const char* text) { return DialogItemTemplate{type, r, text, 0}; }

class Dialogs : public HeadlessToolboxTest {
protected:
    void SetUp() override
    {
        HeadlessToolboxTest::SetUp();
        RegisterItemListTemplate(300, ItemListTemplate{{
            Item(kButtonDialogItem, Rect{150, 220, 170, 300}, "OK"),
            Item(kButtonDialogItem, Rect{150, 120, 170, 200}, "Cancel"),
            Item(kEditTextDialogItem, Rect{20, 100, 36, 300}, "abc"),
            Item(kEditTextDialogItem, Rect{50, 100, 66, 300}, ""),
            Item(kCheckBoxDialogItem, Rect{80, 100, 98, 300}, "Flatten offsets"),
            Item(kStaticTextDialogItem + itemDisable, Rect{110, 20, 130, 300}, "Value ^0 of ^1"),
            Item(kButtonDialogItem + itemDisable, Rect{150, 20, 170, 100}, "Off"),
        }});
        RegisterDialogTemplate(300, DialogTemplate{Rect{100, 100, 280, 420}, movableDBoxProc, true, false, 0, 300,
                                                   "Test Dialog"});
    }

    DialogPtr Open(short id = 300)
    {
        DialogPtr d = GetNewDialog(id, nullptr, kDialogInFront);
        EXPECT_NE(d, nullptr);
        if (d != nullptr) {
            SetDialogDefaultItem(d, 1);
            SetDialogCancelItem(d, 2);
        }
        return d;
    }

    std::string Text(DialogPtr d, short item)
    {
        DialogItemType type = 0;
        Handle h = nullptr;
        Rect r{};
        GetDialogItem(d, item, &type, &h, &r);
        Str255 text;
        GetDialogItemText(h, text);
        return pstr::ToStd(text);
    }

    void SetText(DialogPtr d, short item, const std::string& value)
    {
        DialogItemType type = 0;
        Handle h = nullptr;
        Rect r{};
        GetDialogItem(d, item, &type, &h, &r);
        Str255 text;
        pstr::FromStd(value, text);
        SetDialogItemText(h, text);
    }

    short RunModal(ModalFilterUPP filter = nullptr)
    {
        DialogItemIndex hit = 0;
        ModalDialog(filter, &hit);
        return hit;
    }
};

TEST_F(Dialogs, NumberedTemplatesMakeDialogsAndMissingOnesGiveNil)
{
    EXPECT_EQ(GetNewDialog(999, nullptr, kDialogInFront), nullptr);
    RegisterDialogTemplate(301, DialogTemplate{Rect{100, 100, 200, 200}, dBoxProc, true, false, 0, 777, ""});
    EXPECT_EQ(GetNewDialog(301, nullptr, kDialogInFront), nullptr) << "its item list is missing";
    DisposeDialog(nullptr);  // must be harmless
    RegisterDialogTemplate(-192, DialogTemplate{Rect{100, 100, 280, 420}, dBoxProc, true, false, 0, 300, ""});
    DialogPtr d = GetNewDialog(-192, nullptr, kDialogInFront);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(GetDialogFromWindow(GetDialogWindow(d)), d);
    EXPECT_EQ(GetWindowKind(d), dialogKind);
    DisposeDialog(d);
}

TEST_F(Dialogs, EditFieldsOpenAndStayWhollySelected)
{
    DialogPtr d = Open();
    harness::DialogState s = harness::GetDialogState();
    EXPECT_EQ(s.dialog, d);
    EXPECT_EQ(s.focusItem, 3);
    EXPECT_EQ(s.items[2].selStart, 0u);
    EXPECT_EQ(s.items[2].selEnd, 3u);
    EXPECT_TRUE(s.items[0].isDefault);
    EXPECT_FALSE(s.items[1].isDefault);
    // New text in a wholly selected field stays selected; a caret goes to
    // the end of the new text.
    SetText(d, 3, "1:30.50");
    s = harness::GetDialogState(d);
    EXPECT_EQ(s.items[2].selStart, 0u);
    EXPECT_EQ(s.items[2].selEnd, 7u);
    SelectDialogItemText(d, 3, 2, 2);
    SetText(d, 3, "12345");
    s = harness::GetDialogState(d);
    EXPECT_EQ(s.items[2].selStart, 5u);
    EXPECT_EQ(s.items[2].selEnd, 5u);
    DisposeDialog(d);
}

// Each gesture is scripted, then one ModalDialog call reports an item.
TEST_F(Dialogs, ModalDialogReportsTheItemAClickEndsOn)
{
    struct Case {
        const char* what;
        std::function<void(DialogPtr)> script;
        short item;
    };
    const Case cases[] = {
        {"a click on a button", [](DialogPtr d) { harness::ClickDialogItem(d, 2); }, 2},
        {"clicks on disabled items are passed over",
         [](DialogPtr d) {
             harness::ClickDialogItem(d, 7);
             harness::ClickDialogItem(d, 6);
             harness::ClickDialogItem(d, 1);
         },
         1},
        {"a button released outside is passed over",
         [](DialogPtr d) {
             harness::MouseDown(harness::DialogItemPoint(d, 2));
             harness::MouseMove(Point{10, 10});
             harness::MouseUp(Point{10, 10});
             harness::ClickDialogItem(d, 1);
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DialogPtr d = Open();
        c.script(d);
        EXPECT_EQ(RunModal(), c.item);
        DisposeDialog(d);
    }
}

// Records the incoming item result the filter is handed with each event.
std::vector<std::pair<UInt16, short>> gSeen;
Boolean RecordingFilter(DialogPtr, EventRecord* ev, DialogItemIndex* itemHit)
{
    gSeen.emplace_back(ev->what, *itemHit);
    return false;
}

TEST_F(Dialogs, FilterSeesTheEditItemTypedIntoByThePreviousEvent)
{
    DialogPtr d = Open();
    gSeen.clear();
    harness::KeyDown('7');
    harness::Pause(5);
    harness::ClickDialogItem(d, 4);
    harness::Pause(5);
    harness::KeyDown('8');
    harness::Pause(30);  // longer than the loop's sleep: null events come
    harness::ClickDialogItem(d, 2);
    std::vector<short> results;
    short hit = 0;
    do {
        hit = RunModal(RecordingFilter);
        results.push_back(hit);
    } while (hit != 2);
    EXPECT_EQ(results, (std::vector<short>{3, 4, 4, 2})) << "key, click in 4, key, Cancel";
    // Find the event after each key-down: it must be handed the item typed
    // into; every other event -1.
    ASSERT_FALSE(gSeen.empty());
    EXPECT_EQ(gSeen.front().second, -1) << "nothing typed before the first event";
    int keys = 0;
    for (size_t i = 0; i + 1 < gSeen.size(); ++i) {
        if (gSeen[i].first == keyDown) {
            short expected = keys == 0 ? 3 : 4;
            EXPECT_EQ(gSeen[i + 1].second, expected) << "event " << i + 1;
            ++keys;
        } else {
            EXPECT_EQ(gSeen[i + 1].second, -1) << "event " << i + 1 << " follows a non-typing event";
        }
    }
    EXPECT_EQ(keys, 2);
    bool sawNull = false;
    for (auto& [what, incoming] : gSeen)
        sawNull = sawNull || what == nullEvent;
    EXPECT_TRUE(sawNull) << "the filter sees null events too";
    EXPECT_EQ(Text(d, 3), "7");
    EXPECT_EQ(Text(d, 4), "8");
    DisposeDialog(d);
}

Boolean ClaimingFilter(DialogPtr, EventRecord* ev, DialogItemIndex* itemHit)
{
    if (ev->what == nullEvent && *itemHit == -1) {
        *itemHit = 12;
        return true;
    }
    return false;
}

TEST_F(Dialogs, FilterResultEndsTheCall)
{
    DialogPtr d = Open();
    EXPECT_EQ(RunModal(ClaimingFilter), 12);
    DisposeDialog(d);
    DialogItemIndex hit = 0;
    ModalDialog(nullptr, &hit);
    EXPECT_EQ(hit, -1) << "without a dialog ModalDialog returns at once";
}

// Return and Enter choose the default item, Escape and command-period the
// cancel item; the button flashes for eight ticks and the key never reaches
// the field.
TEST_F(Dialogs, StandardFilterKeysFlashTheButtonForEightTicks)
{
    const std::tuple<unsigned char, UInt16, short> keys[] = {{0x0D, 0, 1}, {0x03, 0, 1}, {0x1B, 0, 2}, {'.', 256, 2}};
    for (auto [charCode, modifiers, expected] : keys) {
        SCOPED_TRACE(charCode);
        DialogPtr d = Open();
        harness::Key(charCode, modifiers);
        UInt32 before = TickCount();
        EXPECT_EQ(RunModal(), expected);
        EXPECT_GE(TickCount() - before, 8u);
        EXPECT_EQ(Text(d, 3), "abc");
        DisposeDialog(d);
    }
}

TEST_F(Dialogs, ReturnDoesNothingWithoutADefaultItem)
{
    DialogPtr d = GetNewDialog(300, nullptr, kDialogInFront);
    harness::Key(0x0D);
    harness::ClickDialogItem(d, 2);
    EXPECT_EQ(RunModal(), 2);
    DisposeDialog(d);
}

// The global point of a byte offset in an edit item's text.
Point PointAtOffset(DialogPtr d, short item, const std::string& text, size_t offset)
{
    harness::DialogItemState s = harness::GetDialogState(d).items[item - 1];
    short width = 0;
    {
        look::PortScope scope(d);
        look::UseSystemFont();
        width = look::WidthUtf8(text.substr(0, offset));
    }
    Point pt{short((s.bounds.top + s.bounds.bottom) / 2), short(s.bounds.left + 2 + width)};
    SetPortWindowPort(d);
    LocalToGlobal(&pt);
    return pt;
}

// Each edit is scripted and the dialog runs until Cancel; then the field's
// text, the focus and the selection are what a person would expect. The
// editing itself is TextEditField's (see its tests); these check what the
// dialog adds: moving between fields and turning mouse positions into text
// offsets.
TEST_F(Dialogs, EditingAFieldWithKeysAndMouse)
{
    struct Case {
        const char* what;
        std::function<void(DialogPtr)> script;
        short item;
        const char* text;  // null: not checked
        size_t selStart, selEnd;
    };
    const Case cases[] = {
        {"Tab moves to the next field and selects its text",
         [this](DialogPtr d) {
             SetText(d, 4, "hello");
             harness::Key(0x09);
         },
         4, "hello", 0, 5},
        {"Shift-Tab moves back",
         [](DialogPtr) {
             harness::Key(0x09);
             harness::Key(0x09, shiftKey);
         },
         3, "abc", 0, 3},
        {"a drag selects from the press point",
         [this](DialogPtr d) {
             SetText(d, 4, "abcdef");
             harness::Drag(PointAtOffset(d, 4, "abcdef", 1), PointAtOffset(d, 4, "abcdef", 4));
         },
         4, nullptr, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DialogPtr d = Open();
        c.script(d);
        harness::ClickDialogItem(d, 2);
        while (RunModal() != 2) {
        }
        if (c.text != nullptr) {
            EXPECT_EQ(Text(d, c.item), c.text);
        }
        harness::DialogState s = harness::GetDialogState(d);
        EXPECT_EQ(s.focusItem, c.item);
        EXPECT_EQ(s.items[c.item - 1].selStart, c.selStart);
        EXPECT_EQ(s.items[c.item - 1].selEnd, c.selEnd);
        DisposeDialog(d);
    }
}

TEST_F(Dialogs, ItemsOutOfRangeAndNonControlsAnswerNothing)
{
    DialogPtr d = Open();
    DialogItemType type = 1;
    Handle h = reinterpret_cast<Handle>(1);
    Rect r{1, 1, 1, 1};
    GetDialogItem(d, 40, &type, &h, &r);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(h, nullptr);
    ControlHandle c = reinterpret_cast<ControlHandle>(1);
    EXPECT_NE(GetDialogItemAsControl(d, 3, &c), noErr);
    EXPECT_EQ(c, nullptr);
    EXPECT_EQ(GetDialogItemAsControl(d, 1, &c), noErr);
    EXPECT_NE(c, nullptr);
    DisposeDialog(d);
}

int gUserItemDraws = 0;
void DrawUserItem(DialogPtr, DialogItemIndex) { ++gUserItemDraws; }

TEST_F(Dialogs, UserItemProcedureDrawsWithTheDialog)
{
    RegisterItemListTemplate(302, ItemListTemplate{{Item(userItem, Rect{10, 10, 50, 50}, "")}});
    RegisterDialogTemplate(302, DialogTemplate{Rect{100, 100, 200, 200}, dBoxProc, true, false, 0, 302, ""});
    DialogPtr d = GetNewDialog(302, nullptr, kDialogInFront);
    ASSERT_NE(d, nullptr);
    DialogItemType type = 0;
    Handle h = nullptr;
    Rect r{};
    GetDialogItem(d, 1, &type, &h, &r);
    SetDialogItem(d, 1, type, reinterpret_cast<Handle>(NewUserItemUPP(DrawUserItem)), &r);
    gUserItemDraws = 0;
    DrawDialog(d);
    EXPECT_EQ(gUserItemDraws, 1);
    harness::ClickDialogItem(d, 1);
    EXPECT_EQ(RunModal(), 1) << "an enabled user item answers a click";
    DisposeDialog(d);
}

class Alerts : public Dialogs {
protected:
    void SetUp() override
    {
        Dialogs::SetUp();
        RegisterItemListTemplate(400, ItemListTemplate{{
            Item(kButtonDialogItem, Rect{90, 200, 110, 280}, "Quit"),
            Item(kButtonDialogItem, Rect{90, 100, 110, 180}, "Continue"),
            Item(kStaticTextDialogItem, Rect{10, 60, 70, 280}, "^0 ^1 ^2"),
        }});
        RegisterAlertTemplate(400, AlertTemplate{Rect{100, 100, 220, 400}, 400});
    }
};

// Return chooses item 1, Escape item 2, a click its item; the alert is
// gone afterwards, and a missing alert gives -1.
TEST_F(Alerts, KeysAndClicksChooseAndMissingAlertGivesMinusOne)
{
    harness::Key(0x0D);
    EXPECT_EQ(StopAlert(400, nullptr), 1);
    harness::Key(0x1B);
    EXPECT_EQ(CautionAlert(400, nullptr), 2);
    EXPECT_EQ(harness::FrontDialog(), nullptr);
    harness::SetIdleProc([] {
        if (DialogPtr front = harness::FrontDialog())
            harness::ClickDialogItem(front, 2);
    });
    EXPECT_EQ(NoteAlert(400, nullptr), 2);
    EXPECT_EQ(Alert(401, nullptr), -1);
    DialogPtr d = GetNewDialog(400, nullptr, kDialogInFront);
    ASSERT_NE(d, nullptr) << "an alert template makes a dialog too";
    EXPECT_EQ(CountDITL(d), 3);
    DisposeDialog(d);
}

TEST_F(Alerts, AnAlertInsideAModalDialogReturnsToIt)
{
    DialogPtr d = Open();
    harness::ClickDialogItem(d, 5);
    ASSERT_EQ(RunModal(), 5);
    harness::SetIdleProc([] {
        if (DialogPtr front = harness::FrontDialog())
            harness::ClickDialogItem(front, 2);
    });
    EXPECT_EQ(Alert(400, nullptr), 2);
    EXPECT_EQ(harness::FrontDialog(), d);
    EXPECT_EQ(RunModal(), 2) << "the outer dialog answers again";
    DisposeDialog(d);
}

}  // namespace
