// Set-up shared by the Menu, Control and Dialog Manager tests: a headless
// toolbox with an empty resource registry and menu bar.
#pragma once

#include <gtest/gtest.h>

#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"

class HeadlessToolboxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(800, 600);
        ClearResourceTemplates();
        harness::ResetMenus();
    }
    void TearDown() override
    {
        harness::SetIdleProc(nullptr);
        harness::ResetMenus();
        ClearResourceTemplates();
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
