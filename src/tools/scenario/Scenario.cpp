#include "tools/scenario/Scenario.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Startup.h"
#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"
#include "platform/ui/system/Gestalt.h"
#include "tools/scenario/FileDialogs.h"
#include "tools/scenario/KeySpec.h"
#include "tools/scenario/StateDump.h"
#include "tools/scenario/WindowDescribers.h"

namespace scenario {

namespace {

// The run whose lines the exit check looks at; it lives until the process ends.
ScenarioRun* gRun = nullptr;

short Number(const Argument& a)
{
    long v = 0;
    ParseInt(a.text, SHRT_MIN, SHRT_MAX, &v);
    return short(v);
}

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

OSType Selector(const std::string& text)
{
    OSType t = 0;
    for (char c : text)
        t = (t << 8) | static_cast<unsigned char>(c);
    return t;
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

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return bool(out);
}

std::string Describe(WindowPtr w)
{
    if (w == nullptr)
        return "no window is open";
    std::string kind = DescriberFor(w).kind;
    std::string text = "front window \"" + std::string(w->title) + "\" (" + kind;
    if (IsDialogWindow(w))
        text += " " + std::to_string(harness::GetDialogState(w).resourceID);
    return text + ")";
}

}  // namespace

ScenarioRun::ScenarioRun(std::vector<Command> c, std::string folder)
    : commands(std::move(c)), scriptFolder(std::move(folder))
{
}

void ScenarioRun::SetUp()
{
    short width = 1280, height = 800, scale = 1;
    for (; next < commands.size() && IsSetupCommand(commands[next].name); ++next) {
        const Command& c = commands[next];
        if (c.name == "screen") {
            width = Number(c.args[0]);
            height = Number(c.args[1]);
            scale = c.args.size() > 2 ? Number(c.args[2]) : 1;
        }
    }
    harness::Start(width, height, scale);
    for (size_t i = 0; i < next; ++i) {
        const Command& c = commands[i];
        unsigned long value = 0;
        if (c.name == "system") {
            ParseHex(c.args[0].text, &value);
            SetGestaltValue(gestaltSystemVersion, SInt32(value));
        } else if (c.name == "gestalt" && c.args[1].text == "missing") {
            DeleteGestaltValue(Selector(c.args[0].text));
        } else if (c.name == "gestalt") {
            ParseHex(c.args[1].text, &value);
            SetGestaltValue(Selector(c.args[0].text), SInt32(UInt32(value)));
        }
    }
    // The runner itself ends every run (the quit after the last line, status
    // 3 after that), so the harness's limit on idle time is not needed.
    harness::SetWaitLimit(UINT32_MAX);
    harness::SetIdleProc([this]() { OnIdle(); });
}

int ScenarioRun::Run()
{
    gRun = this;
    std::atexit(CheckAtExit);
    SetUp();
    // Started without files, as the program is: the host sends 'oapp'.
    AEPostStartupEvents(0, nullptr);
    int status = OrvoMain();
    std::fflush(stdout);
    if (next < commands.size())
        Fail(commands[next], "the application has ended; this line and those after it did not run");
    return status;
}

// The application can end the process itself (the error alert's Quit):
// lines left over are still a failure of the script.
void ScenarioRun::CheckAtExit()
{
    if (gRun == nullptr || gRun->next >= gRun->commands.size())
        return;
    std::fflush(stdout);
    std::fprintf(stderr, "orvo-scenario: line %d: the application has ended; this line and those after it did not run\n",
                 gRun->commands[gRun->next].line);
    std::fflush(stderr);
    std::_Exit(kExitScriptError);
}

void ScenarioRun::OnIdle()
{
    if (waiting) {
        if (harness::Now() < waitUntil)
            return;
        waiting = false;
        harness::SetTickByTick(false);
    }
    while (next < commands.size()) {
        const Command& c = commands[next++];
        if (IsOutputCommand(c.name)) {
            Report(c);
            continue;
        }
        if (c.name == "wait") {
            long ticks = 0;
            ParseInt(c.args[0].text, 0, LONG_MAX, &ticks);
            if (ticks == 0)
                continue;
            waitUntil = harness::Now() + ticks;
            waiting = true;
            harness::SetTickByTick(true);
            return;
        }
        harness::AdvanceTicks(1);
        HandOut(c);
        return;
    }
    if (!quitSent) {
        // The end of the script: the host asks the application to quit.
        quitSent = true;
        AEPostQuitApplication();
        return;
    }
    FailUnanswered();
}

void ScenarioRun::HandOut(const Command& c)
{
    const auto& a = c.args;
    if (c.name == "open") {
        std::vector<std::string> paths;
        for (const Argument& p : a)
            paths.push_back(ScriptPath(p.text));
        AEPostOpenDocuments(paths);
    } else if (c.name == "quit") {
        AEPostQuitApplication();
    } else if (c.name == "menu") {
        MenuID menuID = Number(a[0]);
        short item = Number(a[1]);
        if (Missing(harness::MenuTitlePoint(menuID)))
            Fail(c, "menu " + a[0].text + " is not in the menu bar");
        if (Missing(harness::MenuItemPoint(menuID, item)))
            Fail(c, "menu " + a[0].text + " has no item " + a[1].text);
        UInt16 mods = Modifiers(c, 2);
        harness::ScriptMenuChoice(menuID, item, mods);
        Release(mods);
    } else if (c.name == "key") {
        KeyStroke k;
        ParseKey(a[0].text, &k);
        harness::KeyPress(k.charCode, k.keyCode, k.modifiers, k.text);
        Release(k.modifiers);
    } else if (c.name == "type") {
        TypeText(c.rest);
    } else if (c.name == "click" || c.name == "doubleclick" || c.name == "drag") {
        Target t = ResolveWhere(a[0]);
        if (!t.error.empty())
            Fail(c, t.error);
        Point from = PointIn(t, Number(a[1]), Number(a[2]));
        if (c.name == "drag") {
            UInt16 mods = Modifiers(c, 5);
            harness::Drag(from, PointIn(t, Number(a[3]), Number(a[4])), mods);
            Release(mods);
        } else {
            UInt16 mods = Modifiers(c, 3);
            harness::Click(from, mods);
            if (c.name == "doubleclick")
                harness::Click(from, mods);
            Release(mods);
        }
    } else if (c.name == "part" || c.name == "dragpart") {
        Target t = ResolveWhere(a[0]);
        if (!t.error.empty())
            Fail(c, t.error);
        if (t.screen)
            Fail(c, "the screen has no " + a[1].text + " part; name a window");
        Point p = PartPoint(t.window, a[1].text);
        if (Missing(p))
            Fail(c, "the window \"" + std::string(t.window->title) + "\" has no " + a[1].text + " part");
        if (c.name == "dragpart") {
            harness::Drag(p, Point{short(p.v + Number(a[3])), short(p.h + Number(a[2]))});
        } else {
            UInt16 mods = Modifiers(c, 2);
            harness::Click(p, mods);
            Release(mods);
        }
    } else if (c.name == "item" || c.name == "set") {
        DialogPtr d = harness::FrontDialog();
        if (d == nullptr)
            Fail(c, "no dialog or alert in front");
        short n = Number(a[0]);
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
        if (c.name == "set") {
            // Select all with the keyboard, then type over it.
            KeyStroke all;
            ParseKey("cmd+a", &all);
            harness::KeyPress(all.charCode, all.keyCode, all.modifiers, "");
            harness::SetModifiers(0);
            std::string text = a.size() > 1 ? a[1].text : std::string();
            if (text.empty()) {
                KeyStroke erase;
                ParseKey("backspace", &erase);
                harness::KeyPress(erase.charCode, erase.keyCode, 0, "");
            } else {
                TypeText(text);
            }
        }
    } else if (c.name == "nav") {
        std::string path = a.size() > 1 && (a[0].text == "choose" || a[0].text == "save") ? ScriptPath(a[1].text) : "";
        std::string reason = ScriptNavCommand(c, path);
        if (!reason.empty())
            Fail(c, reason);
    }
}

void ScenarioRun::Report(const Command& c)
{
    bool ok = true;
    std::string file = c.args.empty() ? std::string() : c.args[0].text;
    if (c.name == "dump" && file.empty()) {
        std::string line = DumpState() + "\n";
        ok = std::fwrite(line.data(), 1, line.size(), stdout) == line.size() && std::fflush(stdout) == 0;
    } else if (c.name == "dump") {
        ok = WriteText(file, DumpState() + "\n");
    } else if (c.name == "screenshot") {
        ok = harness::SaveScreenPNG(file);
    } else if (c.name == "audio") {
        ok = harness::SaveAudioWAV(file);
    }
    if (!ok)
        Fail(c, file.empty() ? "cannot write to standard output" : "cannot write " + file);
}

void ScenarioRun::Fail(const Command& c, const std::string& reason)
{
    std::fflush(stdout);
    std::fprintf(stderr, "orvo-scenario: line %d: %s\n", c.line, reason.c_str());
    std::fflush(stderr);
    std::_Exit(kExitScriptError);
}

void ScenarioRun::FailUnanswered()
{
    std::fflush(stdout);
    std::fprintf(stderr, "orvo-scenario: the script has ended and the application still asks for input; %s\n",
                 Describe(FrontWindow()).c_str());
    std::fflush(stderr);
    std::_Exit(kExitUnanswered);
}

std::string ScenarioRun::ScriptPath(const std::string& path) const
{
    std::filesystem::path p(path);
    if (p.is_relative())
        p = std::filesystem::path(scriptFolder) / p;
    return p.lexically_normal().string();
}

}  // namespace scenario
