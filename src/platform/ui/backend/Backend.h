// The narrow interface between the toolbox and the host.
//
// Two implementations: `sdl` (the host window is the screen) and `headless`
// (an in-memory screen, a scripted input queue and a virtual clock, for
// tests). The toolbox creates the sdl backend at its first call unless one
// was chosen before with UIUseBackend / UIUseHeadlessBackend.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/core/MacTypes.h"

class UIBackend {
public:
    virtual ~UIBackend() = default;

    // Screen size in points and device pixels per point.
    virtual short ScreenWidth() const = 0;
    virtual short ScreenHeight() const = 0;
    virtual short Scale() const = 0;

    // Ticks since start-up (virtual in headless mode).
    virtual UInt32 Ticks() = 0;

    // Delivers pending host input to the toolbox (EventInput.h), waiting up
    // to maxWaitTicks for some to arrive. Returns true when something was
    // delivered. The headless backend never sleeps: it advances its clock.
    virtual bool PumpInput(UInt32 maxWaitTicks) = 0;

    // Asked after each pump that delivered nothing: true when the event loop
    // is to return a null event now rather than wait out its sleep. The
    // headless backend says so while a script lets time pass tick by tick.
    virtual bool WakeForNullEvent() { return false; }

    // Waits numTicks (Delay): real time for the sdl backend, which keeps the
    // host window responsive meanwhile; the headless backend only advances
    // its clock and hands out no input.
    virtual void Delay(UInt32 numTicks) = 0;

    // Shows the composed screen: device pixels, ScreenWidth()*Scale() wide.
    virtual void Present(const UInt32* pixels, int width, int height) = 0;

    // True when the screen is shown to a person (presenting costs something,
    // so the headless backend composes only on demand).
    virtual bool IsInteractive() const = 0;

    // Sound out: 48 kHz, 16-bit signed, two interleaved channels. The backend
    // pulls frames from the source (nil: silence): the sdl backend from its
    // audio thread, the headless backend 800 frames for every tick its clock
    // advances, which it records. The source fills all frameCount frames.
    using AudioSource = std::function<void(SInt16* frames, int frameCount)>;
    virtual void SetAudioSource(AudioSource source) {}

    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
};

// Chooses the backend; call before the first toolbox call (or after
// UIResetToolbox). The toolbox owns it from then on.
void UIUseBackend(std::unique_ptr<UIBackend> backend);
// The headless backend with a screen of width x height points.
void UIUseHeadlessBackend(short width, short height, short scale);
// The backend in use; creates the sdl backend on first use.
UIBackend& UICurrentBackend();
// True when a backend has been chosen or created.
bool UIHasBackend();
// Forgets every window, port, event and the backend (tests).
void UIResetToolbox();
// Other managers register what they must forget too (the menu bar, say);
// UIResetToolbox calls the hooks first, in the order they were added.
void UIAddResetHook(void (*hook)());
