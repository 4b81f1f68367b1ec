// The headless backend: an in-memory screen, a scripted input queue and a
// virtual clock, for tests.
//
// Input steps wait in a script and are handed to the toolbox one per pump,
// each no earlier than its due tick. When the script is empty a pump runs
// the idle procedure (which may add steps); if that adds nothing, the clock
// moves on by the wait time. Time with nothing to do adds up, and past the
// wait limit the wait-limit procedure is called (by default it prints a
// message and aborts, so a test never hangs).
//
// Sound out is recorded: for every tick the clock advances, 800 frames
// (48 kHz, stereo, 16 bits) are pulled from the audio source. Ticks without
// a source are silence, kept as a count until sound first plays, so a long
// silent run costs no memory.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

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

    static constexpr int kAudioRate = 48000;
    static constexpr int kAudioChannels = 2;
    static constexpr int kAudioFramesPerTick = kAudioRate / 60;

    HeadlessBackend(short width, short height, short scale);

    short ScreenWidth() const override { return width; }
    short ScreenHeight() const override { return height; }
    short Scale() const override { return scale; }
    UInt32 Ticks() override { return now; }
    bool PumpInput(UInt32 maxWaitTicks) override;
    void Delay(UInt32 numTicks) override { AdvanceClock(numTicks); }
    void Present(const UInt32*, int, int) override {}
    bool IsInteractive() const override { return false; }
    bool WakeForNullEvent() override;
    void SetAudioSource(AudioSource source) override { audioSource = std::move(source); }
    std::string ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }

    void AddStep(const Step& step) { script.push_back(step); }
    bool ScriptEmpty() const { return script.empty(); }
    void Advance(UInt32 ticks) { AdvanceClock(ticks); }
    void SetIdleProc(std::function<void()> proc) { idleProc = std::move(proc); }
    void SetWaitLimit(UInt32 ticks) { waitLimit = ticks; }
    void SetWaitLimitProc(std::function<void(const std::string&)> proc) { waitLimitProc = std::move(proc); }
    // Called when the toolbox gets input from elsewhere (posted events), so
    // the time with nothing to do starts again.
    void NoteActivity() { idleTicks = 0; }
    // While set, a pump with nothing to hand out moves the clock by a single
    // tick and ends the event loop's wait with a null event, so that every
    // tick of idle time reaches the application (a script that lets time
    // pass wants movies to play and dialog filters to see each tick).
    void SetTickByTick(bool on) { tickByTick = on; }

    // Everything played since tick 0: interleaved stereo samples, silence
    // included, up to the current tick.
    std::vector<SInt16> AudioRecording() const;

private:
    void Deliver(const Step& step);
    bool RunIdleProc();
    void CountIdle(UInt32 ticks);
    void AdvanceClock(UInt32 ticks);
    void RecordAudioTick();

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
    bool tickByTick = false;
    bool wakeForNullEvent = false;
    AudioSource audioSource;
    // Recorded sound; the ticks of silence before the first sound are only
    // counted.
    std::vector<SInt16> audio;
    UInt64 leadingSilentTicks = 0;
};
