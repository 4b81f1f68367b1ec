#include "platform/ui/backend/headless/HeadlessBackend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/events/EventInput.h"
#include "platform/ui/events/EventState.h"

HeadlessBackend::HeadlessBackend(short w, short h, short s) : width(w), height(h), scale(std::max<short>(1, s)) {}

void HeadlessBackend::Deliver(const Step& step)
{
    switch (step.kind) {
    case Step::MouseMove: UIInputMouseMoved(step.where); break;
    case Step::MouseDown:
        UIInputModifiers(step.modifiers);
        UIInputMouseButton(true, step.where);
        break;
    case Step::MouseUp:
        UIInputModifiers(step.modifiers);
        UIInputMouseButton(false, step.where);
        break;
    case Step::KeyDown:
        UIInputModifiers(step.modifiers);
        UIInputKey(true, step.charCode, step.keyCode, step.text);
        break;
    case Step::KeyUp:
        UIInputModifiers(step.modifiers);
        UIInputKey(false, step.charCode, step.keyCode);
        break;
    case Step::Text: UIInputText(step.text); break;
    case Step::Modifiers: UIInputModifiers(step.modifiers); break;
    case Step::Pause: pauseUntil = now + step.ticks; break;
    }
}

// The idle procedure may post events or add steps; either counts as
// something to do. It never runs inside itself.
bool HeadlessBackend::RunIdleProc()
{
    if (!idleProc || inIdleProc) return false;
    inIdleProc = true;
    size_t before = script.size();
    UInt32 posted = events::EnqueuedCount();
    idleProc();
    inIdleProc = false;
    return script.size() != before || events::EnqueuedCount() != posted;
}

void HeadlessBackend::CountIdle(UInt32 ticks)
{
    idleTicks += ticks;
    if (idleTicks <= waitLimit) return;
    idleTicks = 0;
    char message[160];
    std::snprintf(message, sizeof message,
                  "headless toolbox: an event loop waited %u ticks of virtual time with no input left "
                  "(script empty, idle procedure posted nothing)",
                  unsigned(waitLimit));
    if (waitLimitProc) {
        waitLimitProc(message);
        return;
    }
    std::fprintf(stderr, "FAILURE: %s\n", message);
    std::fflush(stderr);
    std::abort();
}

bool HeadlessBackend::PumpInput(UInt32 maxWaitTicks)
{
    // A long wait is taken a second at a time, so that the idle procedure
    // runs and the wait limit counts even while a loop sleeps "for ever".
    UInt32 wait = std::clamp<UInt32>(maxWaitTicks, 1, tickByTick ? 1 : 60);
    wakeForNullEvent = false;
    if (!script.empty()) {
        // A pause holds the rest of the script; the clock runs towards its end.
        if (now < pauseUntil) {
            AdvanceClock(std::min(wait, pauseUntil - now));
            if (now < pauseUntil) return false;
        }
        Step step = script.front();
        script.pop_front();
        Deliver(step);
        idleTicks = 0;
        return true;
    }
    if (RunIdleProc()) {
        idleTicks = 0;
        return true;
    }
    AdvanceClock(wait);
    CountIdle(wait);
    wakeForNullEvent = tickByTick;
    return false;
}

bool HeadlessBackend::WakeForNullEvent()
{
    bool wake = wakeForNullEvent;
    wakeForNullEvent = false;
    return wake;
}

void HeadlessBackend::AdvanceClock(UInt32 ticks)
{
    if (!audioSource) {
        // Silence, all at once: only counted while nothing has played yet.
        if (audio.empty())
            leadingSilentTicks += ticks;
        else
            audio.resize(audio.size() + size_t(ticks) * kAudioFramesPerTick * kAudioChannels, 0);
        now += ticks;
        return;
    }
    for (UInt32 i = 0; i < ticks; ++i) {
        RecordAudioTick();
        ++now;
    }
}

void HeadlessBackend::RecordAudioTick()
{
    size_t at = audio.size();
    audio.resize(at + kAudioFramesPerTick * kAudioChannels, 0);
    audioSource(audio.data() + at, kAudioFramesPerTick);
}

std::vector<SInt16> HeadlessBackend::AudioRecording() const
{
    std::vector<SInt16> all(size_t(leadingSilentTicks) * kAudioFramesPerTick * kAudioChannels, 0);
    all.insert(all.end(), audio.begin(), audio.end());
    return all;
}
