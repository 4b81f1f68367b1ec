#include "platform/ui/backend/sdl/SdlBackend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/events/EventInput.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/backend/sdl/SdlKeys.h"
#include "platform/ui/backend/sdl/X11Errors.h"
#include "platform/ui/quickdraw/Fonts.h"

namespace {

int TicksToMilliseconds(UInt32 ticks) { return int(std::min<UInt32>(ticks, 600000) * 1000 / 60); }

// A window that fits the usable part of the first display, at most
// 1280x800 points.
SDL_Rect InitialBounds()
{
    SDL_Rect usable{0, 0, 1280, 800};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) usable = SDL_Rect{0, 0, 1280, 800};
    int w = std::clamp(usable.w - 64, 640, 1280), h = std::clamp(usable.h - 64, 480, 800);
    return SDL_Rect{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h};
}

}  // namespace

SdlBackend::SdlBackend() : start(std::chrono::steady_clock::now())
{
    // Quit signals belong to the Apple event module, which turns them into
    // a 'quit' event; SDL must not take them over.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Before SDL's own handler, which hands errors on to the one it found
    // and puts it back when it quits.
    IgnoreErrorsOnGoneWindows();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        // Tests reach this when they use the toolbox before harness::Start().
        std::fprintf(stderr,
                     "Orvo: cannot open the display: %s\n"
                     "(start it under a display or xvfb-run; tests call harness::Start() first)\n",
                     SDL_GetError());
        std::exit(1);
    }
    SDL_Rect b = InitialBounds();
    window = SDL_CreateWindow("Orvo", b.x, b.y, b.w, b.h, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        std::fprintf(stderr, "Orvo: cannot create the window: %s\n", SDL_GetError());
        std::exit(1);
    }
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    const char* driver = SDL_GetCurrentVideoDriver();
    std::string name = driver ? driver : "";
    // X11 takes the window's pixels straight from shared memory, a changed
    // rectangle at a time; SDL would otherwise send the whole screen
    // through OpenGL each time, which on a display without a graphics
    // processor (a virtual one, a remote one) renders it all in software.
    // Elsewhere SDL chooses how the window's surface reaches the screen.
    if (name == "x11") SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    driverCanWait = name == "x11" || name == "wayland" || name == "cocoa" || name == "windows";
    SDL_StartTextInput();
    SDL_SetWindowMinimumSize(window, 640, 480);
    wakeEventType = SDL_RegisterEvents(1);
    MeasureWindow();
}

SdlBackend::~SdlBackend()
{
    if (audioDevice) SDL_CloseAudioDevice(audioDevice);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
}

// The scale is the whole ratio of drawable pixels to window points: 2 on
// a high-density display where the host reports both sizes, else 1.
void SdlBackend::MeasureWindow()
{
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window, &ww, &wh);
    SDL_GetWindowSizeInPixels(window, &dw, &dh);
    if (ww <= 0 || wh <= 0) return;
    // Ports are made at the screen's scale, so it is chosen once; a later
    // change (the window moved to another display) is left to the presenting,
    // which stretches the screen to the drawable.
    if (!scaleChosen) scale = short(std::max(1, dw / ww));
    scaleChosen = true;
    width = short(std::min(ww, 32000));
    height = short(std::min(wh, 32000));
}

UInt32 SdlBackend::Ticks()
{
    auto elapsed = std::chrono::steady_clock::now() - start;
    return UInt32(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * 60 / 1000000);
}

// SDL waits on the display connection only where the video driver can; on
// the others (the dummy and offscreen drivers) it polls every millisecond,
// which would keep an idle program busy. There the wait is done here, in
// steps of 10 ms.
bool SdlBackend::WaitForEvent(SDL_Event& e, int milliseconds)
{
    if (driverCanWait) return SDL_WaitEventTimeout(&e, milliseconds) != 0;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (SDL_PollEvent(&e)) return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        SDL_Delay(Uint32(std::min<long long>(left.count(), 10)));
    }
}

bool SdlBackend::PumpInput(UInt32 maxWaitTicks)
{
    SDL_Event e;
    if (!WaitForEvent(e, TicksToMilliseconds(maxWaitTicks))) return false;
    Handle(e);
    while (SDL_PollEvent(&e)) Handle(e);
    // Hosts without drop-complete events hand over each file alone.
    if (!dropInProgress && !droppedFiles.empty()) {
        AEPostOpenDocuments(droppedFiles);
        droppedFiles.clear();
    }
    return true;
}

void SdlBackend::Delay(UInt32 numTicks)
{
    UInt32 until = Ticks() + numTicks;
    for (UInt32 now = Ticks(); now < until; now = Ticks()) PumpInput(until - now);
}

void SdlBackend::Handle(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_MOUSEMOTION: UIInputMouseMoved(Point{short(e.motion.y), short(e.motion.x)}); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT) break;
        UIInputModifiers(sdlkeys::Modifiers(Uint16(SDL_GetModState())));
        UIInputMouseButton(e.type == SDL_MOUSEBUTTONDOWN, Point{short(e.button.y), short(e.button.x)});
        break;
    case SDL_MOUSEWHEEL: {
        // SDL counts up and right as positive; the toolbox counts down.
        int sign = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        UIInputModifiers(sdlkeys::Modifiers(Uint16(SDL_GetModState())));
        UIInputWheel(Point{short(y), short(x)}, -sign * e.wheel.y, sign * e.wheel.x);
        break;
    }
    case SDL_KEYDOWN: HandleKeyDown(e.key); break;
    case SDL_KEYUP: {
        UIInputModifiers(sdlkeys::Modifiers(e.key.keysym.mod));
        sdlkeys::KeyCodes k = sdlkeys::Translate(e.key.keysym);
        UIInputKey(false, k.charCode, k.keyCode);
        break;
    }
    case SDL_TEXTINPUT: HandleText(e.text.text); break;
    case SDL_DROPBEGIN: dropInProgress = true; break;
    case SDL_DROPFILE:
        if (e.drop.file) {
            droppedFiles.emplace_back(e.drop.file);
            SDL_free(e.drop.file);
        }
        break;
    case SDL_DROPCOMPLETE:
        dropInProgress = false;
        if (!droppedFiles.empty()) AEPostOpenDocuments(droppedFiles);
        droppedFiles.clear();
        break;
    case SDL_WINDOWEVENT: HandleWindowEvent(e.window); break;
    case SDL_QUIT: PostQuit(); break;
    default:
        if (e.type == wakeEventType) woken = true;
        break;
    }
}

// Keys that type text arrive through text input (so that every layout and
// input method works); the others, and every key pressed with the command
// key, become key-downs at once.
void SdlBackend::HandleKeyDown(const SDL_KeyboardEvent& key)
{
    UInt16 mods = sdlkeys::Modifiers(key.keysym.mod);
    UIInputModifiers(mods);
    sdlkeys::KeyCodes k = sdlkeys::Translate(key.keysym);
    lastKeyCode = k.keyCode;
    lastKeyRepeated = key.repeat != 0;
    suppressText = false;
    if (!k.special && !(mods & cmdKey)) return;
    if (k.charCode == 0) return;
    if (key.repeat)
        UIInputAutoKey(k.charCode, k.keyCode);
    else
        UIInputKey(true, k.charCode, k.keyCode);
    // A command key typed here must not also arrive as text.
    suppressText = !k.special;
}

void SdlBackend::HandleText(const char* utf8)
{
    if (suppressText || !utf8) return;
    std::string text(utf8);
    for (size_t i = 0; i < text.size();) {
        size_t begin = i;
        char32_t cp = fonts::NextCodePoint(text, i);
        std::string one = text.substr(begin, i - begin);
        if (cp >= 0x80) {
            UIInputText(one);
            continue;
        }
        if (lastKeyRepeated)
            UIInputAutoKey(UInt8(cp), lastKeyCode, one);
        else
            UIInputKey(true, UInt8(cp), lastKeyCode, one);
    }
}

void SdlBackend::HandleWindowEvent(const SDL_WindowEvent& w)
{
    switch (w.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESIZED:
        MeasureWindow();
        UIInputScreenResized();
        break;
    case SDL_WINDOWEVENT_EXPOSED: RepresentLast(); break;
    case SDL_WINDOWEVENT_CLOSE: PostQuit(); break;
    default: break;
    }
}

// Closing the window sends both a close and a quit event; one 'quit' is
// enough, and a later request (after the first was refused) sends another.
void SdlBackend::PostQuit()
{
    UInt32 now = Ticks();
    if (quitPosted && now - lastQuitTick < 30) return;
    quitPosted = true;
    lastQuitTick = now;
    AEPostQuitApplication();
}

void SdlBackend::Present(const UInt32* pixels, int w, int h)
{
    if (w <= 0 || h <= 0) return;
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) return;
    // A new surface (the first, or one made after a resize) holds nothing
    // of ours yet: all of it goes out.
    bool whole = surface != presentedOn;
    presentedOn = surface;
    Uint32 format = surface->format->format;
    bool same = surface->w == w && surface->h == h &&
                (format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_RGB888);
    if (!same || !PresentChanges(surface, pixels, w, h, whole)) PresentScaled(surface, pixels, w, h);
}

// The screen's pixels are 0xAARRGGBB, the surface's too (or with the top
// byte unused): each row's changed span is copied, and the rectangle around
// them sent. False when the surface cannot be written.
bool SdlBackend::PresentChanges(SDL_Surface* surface, const UInt32* pixels, int w, int h, bool whole)
{
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    auto* base = static_cast<Uint8*>(surface->pixels);
    int top = h, bottom = 0, left = w, right = 0;
    for (int y = 0; y < h; ++y) {
        const UInt32* src = pixels + size_t(y) * size_t(w);
        auto* dst = reinterpret_cast<UInt32*>(base + size_t(y) * size_t(surface->pitch));
        int l = 0, r = w;
        if (!whole) {
            while (l < w && src[l] == dst[l]) ++l;
            if (l == w) continue;
            while (src[r - 1] == dst[r - 1]) --r;
        }
        std::copy(src + l, src + r, dst + l);
        top = std::min(top, y), bottom = y + 1, left = std::min(left, l), right = std::max(right, r);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (top >= bottom) return true;  // nothing changed
    SDL_Rect changed{left, top, right - left, bottom - top};
    SDL_UpdateWindowSurfaceRects(window, &changed, 1);
    return true;
}

// A surface of another size or format (a display whose scale changed since
// start-up): the screen is converted and stretched onto it whole.
void SdlBackend::PresentScaled(SDL_Surface* surface, const UInt32* pixels, int w, int h)
{
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<UInt32*>(pixels), w, h, 32, w * 4,
                                                             SDL_PIXELFORMAT_ARGB8888);
    if (!screen) return;
    SDL_BlitScaled(screen, nullptr, surface, nullptr);
    SDL_FreeSurface(screen);
    SDL_UpdateWindowSurface(window);
}

// The window's surface still holds the last screen.
void SdlBackend::RepresentLast()
{
    if (presentedOn && SDL_GetWindowSurface(window) == presentedOn) SDL_UpdateWindowSurface(window);
}

// 48 kHz, 16-bit, stereo, as the toolbox hands it over; SDL converts for a
// device that wants something else. 1024 frames a pull keeps the delay near
// 20 ms.
bool SdlBackend::OpenAudio()
{
    if (audioDevice || audioFailed) return audioDevice != 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        audioFailed = true;  // no sound here: movies play silently
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = 48000;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlBackend::FillAudio;
    want.userdata = this;
    SDL_AudioSpec have{};
    audioDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    audioFailed = audioDevice == 0;
    return audioDevice != 0;
}

void SdlBackend::FillAudio(void* backend, Uint8* stream, int length)
{
    auto* self = static_cast<SdlBackend*>(backend);
    int frames = length / 4;
    if (self->audioSource)
        self->audioSource(reinterpret_cast<SInt16*>(stream), frames);
    else
        SDL_memset(stream, 0, size_t(length));
}

// An event of our own ends SDL's wait; Handle passes it over.
void SdlBackend::WakeUp()
{
    if (wakeEventType == Uint32(-1) || wakeEventType == 0) return;
    SDL_Event e{};
    e.type = wakeEventType;
    SDL_PushEvent(&e);
}

void SdlBackend::SetAudioSource(AudioSource source)
{
    if (!source && !audioDevice) return;
    if (!OpenAudio()) return;
    SDL_LockAudioDevice(audioDevice);
    audioSource = std::move(source);
    bool playing = bool(audioSource);
    SDL_UnlockAudioDevice(audioDevice);
    SDL_PauseAudioDevice(audioDevice, playing ? 0 : 1);
}

std::string SdlBackend::ClipboardText()
{
    char* text = SDL_GetClipboardText();
    std::string out = text ? text : "";
    SDL_free(text);
    return out;
}

void SdlBackend::SetClipboardText(const std::string& text) { SDL_SetClipboardText(text.c_str()); }
