// The input commands of a scenario script, as a person's clicks and keys.
#include <filesystem>
#include <map>

#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"
#include "tools/scenario/FileDialogs.h"
#include "tools/scenario/KeyChord.h"
#include "tools/scenario/ScenarioInput.h"

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

std::string Open(const Command& c, const std::string& folder)
{
    std::vector<std::string> paths;
    for (const Argument& p : c.args)
        paths.push_back(ScriptPath(folder, p.text));
    AEPostOpenDocuments(paths);
    return "";
}

std::string Quit(const Command&, const std::string&)
{
    AEPostQuitApplication();
    return "";
}

std::string Menu(const Command& c, const std::string&)
{
    MenuID menuID = ShortValue(c.args[0]);
    short item = ShortValue(c.args[1]);
    if (Missing(harness::MenuTitlePoint(menuID)))
        return "menu " + c.args[0].text + " is not in the menu bar";
    if (Missing(harness::MenuItemPoint(menuID, item)))
        return "menu " + c.args[0].text + " has no item " + c.args[1].text;
    UInt16 mods = Modifiers(c, 2);
    harness::ScriptMenuChoice(menuID, item, mods);
    Release(mods);
    return "";
}

std::string Key(const Command& c, const std::string&)
{
    KeyStroke k;
    ParseKey(c.args[0].text, &k);
    harness::KeyPress(k.charCode, k.keyCode, k.modifiers, k.text);
    Release(k.modifiers);
    return "";
}

std::string Type(const Command& c, const std::string&)
{
    TypeText(c.rest);
    return "";
}

std::string Mouse(const Command& c, const std::string&)
{
    const auto& a = c.args;
    Target t = ResolveWhere(a[0]);
    if (!t.error.empty())
        return t.error;
    Point from = PointIn(t, ShortValue(a[1]), ShortValue(a[2]));
    if (c.name == "drag") {
        UInt16 mods = Modifiers(c, 5);
        harness::Drag(from, PointIn(t, ShortValue(a[3]), ShortValue(a[4])), mods);
        Release(mods);
        return "";
    }
    UInt16 mods = Modifiers(c, 3);
    harness::Click(from, mods);
    if (c.name == "doubleclick")
        harness::Click(from, mods);
    Release(mods);
    return "";
}

std::string Wheel(const Command& c, const std::string&)
{
    const auto& a = c.args;
    Target t = ResolveWhere(a[0]);
    if (!t.error.empty())
        return t.error;
    UInt16 mods = Modifiers(c, 4);
    harness::Wheel(PointIn(t, ShortValue(a[1]), ShortValue(a[2])), ShortValue(a[3]), mods);
    Release(mods);
    return "";
}

std::string Part(const Command& c, const std::string&)
{
    const auto& a = c.args;
    Target t = ResolveWhere(a[0]);
    if (!t.error.empty())
        return t.error;
    if (t.screen)
        return "the screen has no " + a[1].text + " part; name a window";
    Point p = PartPoint(t.window, a[1].text);
    if (Missing(p))
        return "the window \"" + std::string(t.window->title) + "\" has no " + a[1].text + " part";
    if (c.name == "dragpart") {
        harness::Drag(p, Point{short(p.v + ShortValue(a[3])), short(p.h + ShortValue(a[2]))});
        return "";
    }
    UInt16 mods = Modifiers(c, 2);
    harness::Click(p, mods);
    Release(mods);
    return "";
}

// Select all with the keyboard, then type over it (or delete it).
void ReplaceFieldText(const std::string& text)
{
    KeyStroke all, erase;
    ParseKey("cmd+a", &all);
    ParseKey("backspace", &erase);
    harness::KeyPress(all.charCode, all.keyCode, all.modifiers, "");
    Release(all.modifiers);
    if (text.empty())
        harness::KeyPress(erase.charCode, erase.keyCode, 0, "");
    else
        TypeText(text);
}

std::string Item(const Command& c, const std::string&)
{
    const auto& a = c.args;
    DialogPtr d = harness::FrontDialog();
    if (d == nullptr)
        return "no dialog or alert in front";
    short n = ShortValue(a[0]);
    harness::DialogState state = harness::GetDialogState(d);
    if (size_t(n) > state.items.size())
        return "the dialog in front has no item " + a[0].text;
    const harness::DialogItemState& item = state.items[n - 1];
    if (item.hidden)
        return "item " + a[0].text + " of the dialog in front is hidden";
    if (c.name == "set" && item.type != editText)
        return "item " + a[0].text + " of the dialog in front is not an edit field";
    UInt16 mods = c.name == "item" ? Modifiers(c, 1) : 0;
    harness::ClickDialogItem(d, n, mods);
    Release(mods);
    if (c.name == "set")
        ReplaceFieldText(a.size() > 1 ? a[1].text : std::string());
    return "";
}

std::string Nav(const Command& c, const std::string& folder)
{
    const std::string& what = c.args[0].text;
    std::string path = what == "choose" || what == "save" ? ScriptPath(folder, c.args[1].text) : std::string();
    return ScriptNavCommand(c, path);
}

}  // namespace

std::string ScriptPath(const std::string& folder, const std::string& path)
{
    std::filesystem::path p(path);
    if (p.is_relative())
        p = std::filesystem::path(folder) / p;
    return p.lexically_normal().string();
}

// One table from command to the function that scripts it.
std::string ScriptInput(const Command& c, const std::string& folder)
{
    using Handler = std::string (*)(const Command&, const std::string&);
    static const std::map<std::string, Handler> handlers = {
        {"open", Open},   {"quit", Quit},    {"menu", Menu},        {"key", Key},   {"type", Type},
        {"click", Mouse}, {"drag", Mouse},   {"doubleclick", Mouse}, {"part", Part}, {"dragpart", Part},
        {"item", Item},   {"set", Item},     {"nav", Nav},      {"wheel", Wheel},
    };
    auto it = handlers.find(c.name);
    return it != handlers.end() ? it->second(c, folder) : "not an input command: " + c.name;
}

}  // namespace scenario
