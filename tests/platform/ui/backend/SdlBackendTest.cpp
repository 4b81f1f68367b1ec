// The sdl backend on SDL's dummy video driver: host events pushed into
// SDL's queue must come out as the classic events and Apple events.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/backend/Backend.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/backend/sdl/SdlBackend.h"

namespace {

class SdlBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        UIResetToolbox();
        UIUseBackend(std::make_unique<SdlBackend>());
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override { UIResetToolbox(); }

    static void Push(SDL_Event e) { SDL_PushEvent(&e); }

    static void PushKey(SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod, bool down = true, bool repeat = false)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = scancode;
        e.key.keysym.mod = mod;
        e.key.repeat = repeat ? 1 : 0;
        Push(e);
    }

    static void PushText(const char* utf8)
    {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
        Push(e);
    }

    // Every event waiting now (the sleep lets the backend take in the
    // pushed host events).
    static std::vector<EventRecord> Events(EventMask mask = everyEvent)
    {
        std::vector<EventRecord> out;
        EventRecord ev;
        while (WaitNextEvent(mask, &ev, 1, nullptr)) out.push_back(ev);
        return out;
    }

    static std::vector<EventRecord> Keys() { return Events(keyDownMask | autoKeyMask); }
};

// Host keys and text become one classic key event each: special keys with
// their character and key codes, Control or Super as the command key (the
// text the host also reports is not doubled), Alt as option, typed text
// once with its key code, held keys as auto-keys.
TEST_F(SdlBackendTest, HostKeysBecomeClassicKeyEvents)
{
    struct Expected {
        UInt16 what;
        UInt8 charCode;
        int keyCode;  // -1: not checked
        UInt16 modifiers;
        const char* text;  // null: not checked
    };
    const std::pair<SDL_Keycode, SDL_Scancode> specials[] = {
        {SDLK_RETURN, SDL_SCANCODE_RETURN}, {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER}, {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE}, {SDLK_TAB, SDL_SCANCODE_TAB}, {SDLK_LEFT, SDL_SCANCODE_LEFT},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT}, {SDLK_UP, SDL_SCANCODE_UP}, {SDLK_DOWN, SDL_SCANCODE_DOWN}};
    for (auto [sym, scancode] : specials)
        PushKey(sym, scancode, 0);
    PushKey('q', SDL_SCANCODE_Q, KMOD_LCTRL);
    PushText("q");
    PushKey('w', SDL_SCANCODE_W, KMOD_LGUI);
    PushKey(SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_LALT | KMOD_LSHIFT);
    PushKey('a', SDL_SCANCODE_A, 0);
    PushText("a");
    PushKey('u', SDL_SCANCODE_U, 0);
    PushText("ü");
    PushKey(SDLK_DOWN, SDL_SCANCODE_DOWN, 0, true, true);
    const Expected expected[] = {
        {keyDown, 0x0D, 0x24, 0, nullptr}, {keyDown, 0x03, 0x4C, 0, nullptr}, {keyDown, 0x1B, -1, 0, nullptr},
        {keyDown, 0x08, -1, 0, nullptr},   {keyDown, 0x09, -1, 0, nullptr},   {keyDown, 0x1C, -1, 0, nullptr},
        {keyDown, 0x1D, -1, 0, nullptr},   {keyDown, 0x1E, -1, 0, nullptr},   {keyDown, 0x1F, -1, 0, nullptr},
        {keyDown, 'q', -1, cmdKey, nullptr}, {keyDown, 'w', -1, cmdKey, nullptr},
        {keyDown, 0x1C, -1, optionKey | shiftKey, nullptr}, {keyDown, 'a', 0x00, 0, nullptr},
        {keyDown, 0, -1, 0, "ü"}, {autoKey, 0x1F, -1, 0, nullptr},
    };
    std::vector<EventRecord> keys = Keys();
    ASSERT_EQ(keys.size(), std::size(expected));
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(i);
        const Expected& e = expected[i];
        EXPECT_EQ(keys[i].what, e.what);
        EXPECT_EQ(keys[i].message & charCodeMask, e.charCode);
        if (e.keyCode >= 0) {
            EXPECT_EQ((keys[i].message & keyCodeMask) >> 8, UInt32(e.keyCode));
        }
        EXPECT_EQ(keys[i].modifiers & (cmdKey | optionKey | shiftKey), e.modifiers);
        if (e.text != nullptr) {
            EXPECT_EQ(GetEventText(keys[i]), e.text);
        }
    }
}

TEST_F(SdlBackendTest, LeftButtonGivesMouseDownAndUpAtThePoint)
{
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 100;
    e.button.y = 50;
    Push(e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.x = 110;
    Push(e);
    std::vector<EventRecord> evs = Events(mDownMask | mUpMask);
    ASSERT_EQ(evs.size(), 2u);
    EXPECT_EQ(evs[0].what, mouseDown);
    EXPECT_EQ(evs[0].where.h, 100);
    EXPECT_EQ(evs[0].where.v, 50);
    EXPECT_EQ(evs[1].what, mouseUp);
    EXPECT_EQ(evs[1].where.h, 110);
}

int gOpened = -1;
int gQuits = 0;

OSErr OnOpen(const AppleEvent* ae, AppleEvent*, long)
{
    AEDescList list;
    if (AEGetParamDesc(ae, keyDirectObject, typeAEList, &list) != noErr) return -1;
    long count = 0;
    AECountItems(&list, &count);
    gOpened = int(count);
    AEDisposeDesc(&list);
    return noErr;
}

OSErr OnQuit(const AppleEvent*, AppleEvent*, long)
{
    ++gQuits;
    return noErr;
}

// Files dropped together arrive as one open-documents event; closing the
// host window (which SDL also reports as quitting) sends one quit.
TEST_F(SdlBackendTest, HostDropsAndClosingBecomeAppleEvents)
{
    gOpened = -1;
    gQuits = 0;
    AEInstallEventHandler(kCoreEventClass, kAEOpenDocuments, NewAEEventHandlerUPP(OnOpen), 0, false);
    AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, NewAEEventHandlerUPP(OnQuit), 0, false);
    SDL_Event e{};
    e.type = SDL_DROPBEGIN;
    Push(e);
    e.type = SDL_DROPFILE;
    e.drop.file = SDL_strdup("/tmp/one.mov");
    Push(e);
    e.drop.file = SDL_strdup("/tmp/two.mov");
    Push(e);
    e.type = SDL_DROPCOMPLETE;
    e.drop.file = nullptr;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_QUIT;
    Push(e);
    EventRecord ev;
    while (WaitNextEvent(highLevelEventMask, &ev, 1, nullptr))
        AEProcessAppleEvent(&ev);
    EXPECT_EQ(gOpened, 2);
    EXPECT_EQ(gQuits, 1);
}

}  // namespace

// Sound out on SDL's dummy audio driver: the device pulls 48 kHz stereo
// frames from the source while there is one, and stops when it is taken away.
TEST_F(SdlBackendTest, PullsSoundFromTheSourceWhileThereIsOne)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::atomic<int> pulled{0};
    UICurrentBackend().SetAudioSource([&](SInt16* frames, int count) {
        std::fill(frames, frames + count * 2, SInt16(1000));
        pulled += count;
    });
    for (int i = 0; i < 100 && pulled < 4800; ++i)
        SDL_Delay(10);
    EXPECT_GE(pulled.load(), 4800);
    UICurrentBackend().SetAudioSource(nullptr);
    int stopped = pulled.load();
    SDL_Delay(100);
    EXPECT_EQ(pulled.load(), stopped);
}

// A wake from another thread (a movie with a picture to show) ends a long
// wait at once with a null event.
TEST_F(SdlBackendTest, WakeUpEndsTheWait)
{
    std::thread waker([] {
        SDL_Delay(50);
        UICurrentBackend().WakeUp();
    });
    Uint32 start = SDL_GetTicks();
    EventRecord ev;
    EXPECT_FALSE(WaitNextEvent(everyEvent, &ev, 120, nullptr));
    waker.join();
    EXPECT_EQ(ev.what, nullEvent);
    EXPECT_LT(SDL_GetTicks() - start, 1000u);
}

// The screen reaches the window's surface, and a later screen replaces it
// where it changed (only that part is sent; what stays must stay right).
TEST_F(SdlBackendTest, PresentPutsTheScreenOnTheWindow)
{
    UIBackend& backend = UICurrentBackend();
    int w = backend.ScreenWidth() * backend.Scale(), h = backend.ScreenHeight() * backend.Scale();
    std::vector<UInt32> screen(size_t(w) * size_t(h), 0xFF808080u);
    SDL_Window* window = SDL_GetWindowFromID(1);
    ASSERT_NE(window, nullptr);
    auto shown = [&](int x, int y) {
        SDL_Surface* s = SDL_GetWindowSurface(window);
        return reinterpret_cast<const UInt32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch)[x] & 0xFFFFFFu;
    };
    backend.Present(screen.data(), w, h);
    EXPECT_EQ(shown(5, 5), 0x808080u);
    for (int y = 10; y < 20; ++y)
        std::fill(screen.begin() + y * w + 30, screen.begin() + y * w + 40, 0xFF123456u);
    backend.Present(screen.data(), w, h);
    for (auto [x, y, colour] : {std::tuple{30, 10, 0x123456u}, {39, 19, 0x123456u}, {29, 10, 0x808080u},
                                {40, 19, 0x808080u}, {5, 5, 0x808080u}, {w - 1, h - 1, 0x808080u}})
        EXPECT_EQ(shown(x, y), colour) << x << "," << y;
}
