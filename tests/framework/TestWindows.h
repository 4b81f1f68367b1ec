// Windows and an engine that record what the engine asks of them.
#pragma once

#include <string>
#include <vector>

#include "framework/UIEngine.h"
#include "framework/Window.h"

// Every call a window receives, in order, shared by all test windows.
inline std::vector<std::string>& CallLog()
{
    static std::vector<std::string> log;
    return log;
}

class TestWindow : public Window {
public:
    explicit TestWindow(std::string name) : name(std::move(name)) {}
    ~TestWindow() override
    {
        CallLog().push_back(name + ".destroyed");
        if (destroyedCount != nullptr)
            ++*destroyedCount;
    }

    bool CloseWindow() override
    {
        CallLog().push_back(name + ".CloseWindow");
        if (!agreeToClose)
            return false;
        return Window::CloseWindow();
    }
    bool PreHandleEvent(EventRecord& er, long& ec) override
    {
        CallLog().push_back(name + ".PreHandleEvent");
        if (claimWith < 0)
            return false;
        ec = claimWith;
        return true;
    }
    long HandleMenu(long mChoice, bool* cont) override
    {
        lastMenuChoice = mChoice;
        CallLog().push_back(name + ".HandleMenu");
        if (cont != nullptr)
            *cont = continueMenus;
        return menuResult;
    }
    void Refresh() override
    {
        ++refreshCount;
        Window::Refresh();
    }
    WindowPtr Platform() const { return win; }

    std::string name;
    bool agreeToClose = true;
    long claimWith = -1;
    bool continueMenus = true;
    long menuResult = 0;
    long lastMenuChoice = -1;
    int refreshCount = 0;
    int* destroyedCount = nullptr;
    std::vector<long> contentClicks;
    int activations = 0;

protected:
    long HandleContentClick(EventRecord&, Point thePt) override
    {
        contentClicks.push_back((long(thePt.v) << 16) | (thePt.h & 0xFFFF));
        return 0;
    }
    void Activate() override { ++activations; }
    long HandleEventCode(long ec, EventRecord& er) override
    {
        lastEventKind = er.what;
        return Window::HandleEventCode(ec, er);
    }

public:
    int lastEventKind = -1;
};

class TestEngine : public UIEngine {
public:
    // The registered windows' names, newest first.
    std::vector<std::string> Registry() const
    {
        std::vector<std::string> names;
        for (const auto& w : windows)
            names.push_back(static_cast<TestWindow*>(w.get())->name);
        return names;
    }
    bool Empty() const { return windows.empty(); }

    long HandleMenu(EventRecord&, long menuChoice) override
    {
        appMenuChoices.push_back(menuChoice);
        return appMenuResult;
    }
    long HandleHighLevelEvent(EventRecord&) override
    {
        ++highLevelEvents;
        return appMenuResult;
    }

    std::vector<long> appMenuChoices;
    long appMenuResult = 0;
    int highLevelEvents = 0;
};
