// The headless backend: an in-memory screen, a scripted input queue and a
// virtual clock, for tests.
//
// Input steps wait in a script and are handed to the toolbox one per pump,
// each no earlier than its due tick. When the script is empty a pump runs
// the idle procedure (which may add steps); if that adds nothing, the clock
// moves on by the wait time. Time with nothing to do adds up, and past the
// wait limit the wait-limit procedure is called (by default it prints a
// message and aborts, so a test never hangs).
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "platform/ui/backend/Backend.h"

class HeadlessBackend : public UIBackend {
public:
    struct Step {
        enum Kind { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, Text, Modifiers, Pause } kind = Pause;
        Point where{0, 0};
        UInt8 charCode = 0;
        UInt8 keyCode = 0;
        UInt16 modifiers = 0;
        std::string text;
        UInt32 ticks = 0;  // Pause: how long
    };

    HeadlessBackend(short width, short height, short scale);

    short ScreenWidth() const override { return width; }
    short ScreenHeight() const override { return height; }
    short Scale() const override { return scale; }
    UInt32 Ticks() override { return now; }
    bool PumpInput(UInt32 maxWaitTicks) override;
    void Delay(UInt32 numTicks) override { now += numTicks; }
    void Present(const UInt32*, int, int) override {}
    bool IsInteractive() const override { return false; }
    std::string ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }

    void AddStep(const Step& step) { script.push_back(step); }
    bool ScriptEmpty() const { return script.empty(); }
    void Advance(UInt32 ticks) { now += ticks; }
    void SetIdleProc(std::function<void()> proc) { idleProc = std::move(proc); }
    void SetWaitLimit(UInt32 ticks) { waitLimit = ticks; }
    void SetWaitLimitProc(std::function<void(const std::string&)> proc) { waitLimitProc = std::move(proc); }
    // Called when the toolbox gets input from elsewhere (posted events), so
    // the time with nothing to do starts again.
    void NoteActivity() { idleTicks = 0; }

private:
    void Deliver(const Step& step);
    bool RunIdleProc();
    void CountIdle(UInt32 ticks);

    short width, height, scale;
    UInt32 now = 0;
    UInt32 pauseUntil = 0;
    std::deque<Step> script;
    std::string clipboard;
    std::function<void()> idleProc;
    bool inIdleProc = false;
    UInt32 waitLimit = 36000;
    UInt32 idleTicks = 0;
    std::function<void(const std::string&)> waitLimitProc;
};
