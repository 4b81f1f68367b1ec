// The input commands of a scenario script, as a person's clicks and keys.
#include <map>

#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"
#include "tools/scenario/FileDialogs.h"
#include "tools/scenario/KeySpec.h"
#include "tools/scenario/Scenario.h"

namespace scenario {

namespace {

UInt16 Modifiers(const Command& c, size_t index)
{
    UInt16 m = 0;
    if (index < c.args.size())
        ParseModifiers(c.args[index].text, &m);
    return m;
}

// Keys held for a command are let go once it is done, as a person does.
void Release(UInt16 modifiers)
{
    if (modifiers != 0)
        harness::SetModifiers(0);
}

// A window named in a script, or the whole screen.
struct Target {
    WindowPtr window = nullptr;
    bool screen = false;
    std::string error;
};

Target ResolveWhere(const Argument& a)
{
    if (!a.quoted && a.text == "screen")
        return Target{nullptr, true, ""};
    if (!a.quoted) {
        WindowPtr front = FrontWindow();
        return front != nullptr ? Target{front, false, ""} : Target{nullptr, false, "no window in front"};
    }
    // Of two windows with the title the frontmost is taken; a hidden one
    // cannot be clicked.
    bool hidden = false;
    for (const harness::WindowState& w : harness::Windows()) {
        if (w.title != a.text)
            continue;
        if (w.visible)
            return Target{w.window, false, ""};
        hidden = true;
    }
    return Target{nullptr, false, (hidden ? "the window \"" + a.text + "\" is hidden" : "no window titled \"" + a.text + "\"")};
}

Point PointIn(const Target& t, short x, short y)
{
    return t.screen ? Point{y, x} : harness::ContentPoint(t.window, x, y);
}

Point PartPoint(WindowPtr w, const std::string& part)
{
    if (part == "title")
        return harness::TitleBarPoint(w);
    if (part == "close")
        return harness::CloseBoxPoint(w);
    if (part == "zoom")
        return harness::ZoomBoxPoint(w);
    return harness::GrowBoxPoint(w);
}

bool Missing(Point p) { return p.h == -1 && p.v == -1; }

void TypeText(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t n = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 4;
        KeyStroke k = CharacterKey(text.substr(i, n));
        harness::KeyPress(k.charCode, k.keyCode, 0, k.text);
        i += n;
    }
}

}  // namespace

// Each input command, as the clicks and keys (or host events) a person
// would make; the table keeps the dispatch in one place.
void ScenarioRun::HandOut(const Command& c)
{
    using Handler = void (ScenarioRun::*)(const Command&);
    static const std::map<std::string, Handler> handlers = {
        {"open", &ScenarioRun::HandOutOpen},   {"quit", &ScenarioRun::HandOutQuit},
        {"menu", &ScenarioRun::HandOutMenu},   {"key", &ScenarioRun::HandOutKey},
        {"type", &ScenarioRun::HandOutType},   {"click", &ScenarioRun::HandOutMouse},
        {"doubleclick", &ScenarioRun::HandOutMouse}, {"drag", &ScenarioRun::HandOutMouse},
        {"part", &ScenarioRun::HandOutPart},   {"dragpart", &ScenarioRun::HandOutPart},
        {"item", &ScenarioRun::HandOutItem},   {"set", &ScenarioRun::HandOutItem},
        {"nav", &ScenarioRun::HandOutNav},
    };
    (this->*handlers.at(c.name))(c);
}

void ScenarioRun::HandOutOpen(const Command& c)
{
    std::vector<std::string> paths;
    for (const Argument& p : c.args)
        paths.push_back(ScriptPath(p.text));
    AEPostOpenDocuments(paths);
}

void ScenarioRun::HandOutQuit(const Command&) { AEPostQuitApplication(); }

void ScenarioRun::HandOutMenu(const Command& c)
{
    MenuID menuID = ShortValue(c.args[0]);
    short item = ShortValue(c.args[1]);
    if (Missing(harness::MenuTitlePoint(menuID)))
        Fail(c, "menu " + c.args[0].text + " is not in the menu bar");
    if (Missing(harness::MenuItemPoint(menuID, item)))
        Fail(c, "menu " + c.args[0].text + " has no item " + c.args[1].text);
    UInt16 mods = Modifiers(c, 2);
    harness::ScriptMenuChoice(menuID, item, mods);
    Release(mods);
}

void ScenarioRun::HandOutKey(const Command& c)
{
    KeyStroke k;
    ParseKey(c.args[0].text, &k);
    harness::KeyPress(k.charCode, k.keyCode, k.modifiers, k.text);
    Release(k.modifiers);
}

void ScenarioRun::HandOutType(const Command& c) { TypeText(c.rest); }

void ScenarioRun::HandOutMouse(const Command& c)
{
    const auto& a = c.args;
    Target t = ResolveWhere(a[0]);
    if (!t.error.empty())
        Fail(c, t.error);
    Point from = PointIn(t, ShortValue(a[1]), ShortValue(a[2]));
    if (c.name == "drag") {
        UInt16 mods = Modifiers(c, 5);
        harness::Drag(from, PointIn(t, ShortValue(a[3]), ShortValue(a[4])), mods);
        Release(mods);
        return;
    }
    UInt16 mods = Modifiers(c, 3);
    harness::Click(from, mods);
    if (c.name == "doubleclick")
        harness::Click(from, mods);
    Release(mods);
}

void ScenarioRun::HandOutPart(const Command& c)
{
    const auto& a = c.args;
    Target t = ResolveWhere(a[0]);
    if (!t.error.empty())
        Fail(c, t.error);
    if (t.screen)
        Fail(c, "the screen has no " + a[1].text + " part; name a window");
    Point p = PartPoint(t.window, a[1].text);
    if (Missing(p))
        Fail(c, "the window \"" + std::string(t.window->title) + "\" has no " + a[1].text + " part");
    if (c.name == "dragpart") {
        harness::Drag(p, Point{short(p.v + ShortValue(a[3])), short(p.h + ShortValue(a[2]))});
        return;
    }
    UInt16 mods = Modifiers(c, 2);
    harness::Click(p, mods);
    Release(mods);
}

void ScenarioRun::HandOutItem(const Command& c)
{
    const auto& a = c.args;
    DialogPtr d = harness::FrontDialog();
    if (d == nullptr)
        Fail(c, "no dialog or alert in front");
    short n = ShortValue(a[0]);
    harness::DialogState state = harness::GetDialogState(d);
    if (size_t(n) > state.items.size())
        Fail(c, "the dialog in front has no item " + a[0].text);
    const harness::DialogItemState& item = state.items[n - 1];
    if (item.hidden)
        Fail(c, "item " + a[0].text + " of the dialog in front is hidden");
    if (c.name == "set" && item.type != editText)
        Fail(c, "item " + a[0].text + " of the dialog in front is not an edit field");
    UInt16 mods = c.name == "item" ? Modifiers(c, 1) : 0;
    harness::ClickDialogItem(d, n, mods);
    Release(mods);
    if (c.name == "item")
        return;
    // Select all with the keyboard, then type over it (or delete it).
    KeyStroke all, erase;
    ParseKey("cmd+a", &all);
    ParseKey("backspace", &erase);
    harness::KeyPress(all.charCode, all.keyCode, all.modifiers, "");
    Release(all.modifiers);
    std::string text = a.size() > 1 ? a[1].text : std::string();
    if (text.empty())
        harness::KeyPress(erase.charCode, erase.keyCode, 0, "");
    else
        TypeText(text);
}

void ScenarioRun::HandOutNav(const Command& c)
{
    const std::string& what = c.args[0].text;
    std::string path = what == "choose" || what == "save" ? ScriptPath(c.args[1].text) : std::string();
    std::string reason = ScriptNavCommand(c, path);
    if (!reason.empty())
        Fail(c, reason);
}

}  // namespace scenario
