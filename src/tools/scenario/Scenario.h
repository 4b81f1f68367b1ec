// Runs the whole application headless and feeds it a script.
//
// The application starts exactly as the program does (the same start-up
// code) on the headless backend. Whenever it asks for input and finds
// none (in its main loop or in any nested loop), the runner takes the next
// script line: a report (dump, screenshot, audio) runs there and then; an
// input command becomes the mouse and key steps a person would make, costs
// one tick and is handed out; a wait lets ticks pass one by one. After the
// last line the host asks the application to quit; if it asks for input
// once more, nothing answers it and the run ends with status 3.
#pragma once

#include <string>
#include <vector>

#include "tools/scenario/Script.h"

namespace scenario {

enum : int {
    kExitScriptError = 2,
    kExitUnanswered = 3,
};

class ScenarioRun {
public:
    // scriptFolder: where relative paths of open and nav start.
    ScenarioRun(std::vector<Command> commands, std::string scriptFolder);
    // Starts the application and runs the script; returns the exit status.
    int Run();

private:
    void SetUp();
    void OnIdle();
    void Report(const Command& c);
    void ArmWriteFault(const Command& c);
    [[noreturn]] void Fail(const Command& c, const std::string& reason);
    [[noreturn]] void FailUnanswered();
    static void CheckAtExit();

    std::vector<Command> commands;
    std::string scriptFolder;
    size_t next = 0;
    unsigned long waitUntil = 0;
    bool waiting = false;
    bool quitSent = false;
};

}  // namespace scenario
