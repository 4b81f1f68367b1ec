#include "tools/scenario/Scenario.h"

#include <climits>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "app/Startup.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/system/Gestalt.h"
#include "tools/scenario/ScenarioInput.h"
#include "tools/scenario/StateDump.h"
#include "tools/scenario/WindowDescribers.h"

namespace scenario {

namespace {

// The run whose lines the exit check looks at; it lives until the process ends.
ScenarioRun* gRun = nullptr;

OSType Selector(const std::string& text)
{
    OSType t = 0;
    for (char c : text)
        t = (t << 8) | static_cast<unsigned char>(c);
    return t;
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
            width = ShortValue(c.args[0]);
            height = ShortValue(c.args[1]);
            scale = c.args.size() > 2 ? ShortValue(c.args[2]) : 1;
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
        if (c.name == "fault") {
            ArmWriteFault(c);
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
        std::string reason = ScriptInput(c, scriptFolder);
        if (!reason.empty())
            Fail(c, reason);
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

// Breaks the Nth file write from here on: as a full disk (every write from
// then on fails), as one failed write (EIO), or as the process killed there
// (exit status 77).
void ScenarioRun::ArmWriteFault(const Command& c)
{
    if (c.args[0].text == "clear") {
        FileWriteLayer::ClearWriteFault();
        return;
    }
    long at = 0;
    ParseInt(c.args[1].text, 1, LONG_MAX, &at);
    WriteFault fault;
    fault.kind = c.args[0].text == "kill" ? WriteFault::killProcess : WriteFault::failWithErrno;
    fault.atOperation = at;
    fault.errnoValue = c.args[0].text == "fail" ? EIO : ENOSPC;
    fault.sticky = c.args[0].text != "fail";
    FileWriteLayer::InjectWriteFault(fault);
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

}  // namespace scenario
