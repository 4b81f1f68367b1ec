// Shared set-up for the toolbox tests: a fresh headless toolbox per test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/harness/MenuHarness.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/windows/Windows.h"
#include "platform/ui/harness/Harness.h"

class ToolboxTest : public ::testing::Test {
protected:
    void SetUp() override { harness::Start(800, 600, 1); }
    void TearDown() override { harness::Reset(); }

    // A visible window in front, with the content rectangle given in global
    // coordinates.
    static WindowPtr MakeWindow(const std::string& title, Rect bounds, short procID = documentProc,
                                bool goAway = true)
    {
        Str255 t;
        pstr::FromStd(title, t);
        return NewCWindow(nullptr, &bounds, t, true, procID, reinterpret_cast<WindowPtr>(-1), goAway, 0);
    }

    // Takes every pending event until a null event, answering updates.
    static std::vector<EventRecord> DrainEvents()
    {
        std::vector<EventRecord> seen;
        for (int i = 0; i < 100; ++i) {
            EventRecord ev;
            if (!WaitNextEvent(everyEvent, &ev, 0, nullptr)) {
                if (harness::ScriptEmpty()) break;
                continue;
            }
            seen.push_back(ev);
            if (ev.what == updateEvt) {
                BeginUpdate(WindowFromEventMessage(ev.message));
                EndUpdate(WindowFromEventMessage(ev.message));
            }
        }
        return seen;
    }
};

inline Point Pt(short h, short v) { return Point{v, h}; }
inline Rect R(short left, short top, short right, short bottom) { return Rect{top, left, bottom, right}; }

// For the Menu, Control and Dialog Managers: an empty resource registry and
// menu bar as well.
class HeadlessToolboxTest : public ToolboxTest {
protected:
    void SetUp() override
    {
        ToolboxTest::SetUp();
        ClearResourceTemplates();
        harness::ResetMenus();
    }
    void TearDown() override
    {
        harness::SetIdleProc(nullptr);
        harness::ResetMenus();
        ClearResourceTemplates();
        ToolboxTest::TearDown();
    }
};

// Fetches the next event of a kind, running the script as needed; fails
// the test when none comes.
inline EventRecord NextEventOfKind(EventKind kind)
{
    EventRecord ev{};
    for (int i = 0; i < 1000; ++i) {
        if (WaitNextEvent(everyEvent, &ev, 0, nullptr) && ev.what == kind)
            return ev;
    }
    ADD_FAILURE() << "no event of kind " << kind;
    return ev;
}
