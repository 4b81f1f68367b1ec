// Choosing the backend and resetting the toolbox.
#include "platform/ui/backend/Backend.h"

#include <algorithm>
#include <vector>

#include "platform/ui/appleevents/AppleEvents.h"

#include "platform/ui/windows/Compositor.h"
#include "platform/ui/events/EventState.h"
#include "platform/ui/quickdraw/Fonts.h"
#include "platform/ui/windows/WindowList.h"
#include "platform/ui/backend/headless/HeadlessBackend.h"
#include "platform/ui/backend/sdl/SdlBackend.h"

namespace {

std::unique_ptr<UIBackend>& Slot()
{
    static std::unique_ptr<UIBackend> backend;
    return backend;
}

}  // namespace

void UIUseBackend(std::unique_ptr<UIBackend> backend)
{
    Slot() = std::move(backend);
    compositor::ScreenResized();
}

void UIUseHeadlessBackend(short width, short height, short scale)
{
    UIUseBackend(std::make_unique<HeadlessBackend>(width, height, scale));
}

UIBackend& UICurrentBackend()
{
    if (!Slot()) Slot() = std::make_unique<SdlBackend>();
    return *Slot();
}

bool UIHasBackend() { return Slot() != nullptr; }

static std::vector<void (*)()>& ResetHooks()
{
    static std::vector<void (*)()> hooks;
    return hooks;
}

void UIAddResetHook(void (*hook)())
{
    auto& hooks = ResetHooks();
    if (hook && std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

// Windows go first (their disposal may still ask the backend for the
// scale), then the events, the screen and finally the backend.
void UIResetToolbox()
{
    for (auto hook : ResetHooks()) hook();
    if (Slot()) wm::Reset();
    events::Reset();
    compositor::Reset();
    SetPort(nullptr);
    AEResetForTesting();
    Slot().reset();
}

void UIInputScreenResized() { compositor::ScreenResized(); }
