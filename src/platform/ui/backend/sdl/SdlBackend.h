// The sdl backend: the host window is the screen.
//
// WaitNextEvent's sleep becomes a real wait for host events
// (SDL_WaitEventTimeout), so an idle program uses almost no processor time.
// On a high-density display the drawable is a whole multiple of the window
// size, and that multiple is the screen's scale.
//
// The screen goes to the host through the window's own pixel surface, and
// only the part that changed since the last time is sent: a playing movie
// costs its own rectangle, not the whole screen, each frame.
#pragma once

#include <SDL.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/ui/backend/Backend.h"

class SdlBackend : public UIBackend {
public:
    SdlBackend();
    ~SdlBackend() override;

    short ScreenWidth() const override { return width; }
    short ScreenHeight() const override { return height; }
    short Scale() const override { return scale; }
    UInt32 Ticks() override;
    bool PumpInput(UInt32 maxWaitTicks) override;
    void Delay(UInt32 numTicks) override;
    void Present(const UInt32* pixels, int w, int h) override;
    bool IsInteractive() const override { return true; }
    void SetAudioSource(AudioSource source) override;
    void WakeUp() override;
    // A wake-up came: the event loop returns a null event instead of waiting on.
    bool WakeForNullEvent() override
    {
        bool w = woken;
        woken = false;
        return w;
    }
    std::string ClipboardText() override;
    void SetClipboardText(const std::string& text) override;

private:
    static void FillAudio(void* backend, Uint8* stream, int length);
    bool OpenAudio();
    bool WaitForEvent(SDL_Event& e, int milliseconds);
    void Handle(const SDL_Event& e);
    void HandleKeyDown(const SDL_KeyboardEvent& key);
    void HandleText(const char* utf8);
    void HandleWindowEvent(const SDL_WindowEvent& w);
    void MeasureWindow();
    void PostQuit();
    void RepresentLast();
    bool PresentChanges(SDL_Surface* surface, const UInt32* pixels, int w, int h, bool whole);
    void PresentScaled(SDL_Surface* surface, const UInt32* pixels, int w, int h);

    SDL_Window* window = nullptr;
    SDL_Surface* presentedOn = nullptr;  // the window surface the last screen went to
    short width = 1024, height = 768, scale = 1;
    std::chrono::steady_clock::time_point start;
    std::vector<std::string> droppedFiles;
    bool dropInProgress = false;
    UInt8 lastKeyCode = 0;
    bool lastKeyRepeated = false;
    bool suppressText = false;
    UInt32 lastQuitTick = 0;
    bool quitPosted = false;
    bool driverCanWait = true;
    bool scaleChosen = false;
    // Sound out: the device opens with the first source and runs only while
    // there is one. The source is swapped under the device's lock, so the
    // audio thread never sees one half made or already gone.
    Uint32 wakeEventType = 0;
    bool woken = false;
    SDL_AudioDeviceID audioDevice = 0;
    bool audioFailed = false;
    AudioSource audioSource;
};
