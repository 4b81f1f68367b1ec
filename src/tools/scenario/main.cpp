// build/orvo-scenario SCRIPT: runs Orvo headless from a script and reports
// what a person would see. README.md describes the script.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/scenario/Scenario.h"
#include "tools/scenario/Script.h"

int main(int argc, char** argv)
{
    using namespace scenario;
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvo-scenario SCRIPT\n");
        return kExitScriptError;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "orvo-scenario: cannot read %s\n", argv[1]);
        return kExitScriptError;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<Command> commands;
    ScriptError error;
    if (!ParseScript(text.str(), &commands, &error)) {
        std::fprintf(stderr, "orvo-scenario: line %d: %s\n", error.line, error.reason.c_str());
        return kExitScriptError;
    }
    std::string folder = std::filesystem::absolute(argv[1]).parent_path().string();
    // The run lives until the process ends: the application may end it from
    // inside a nested loop, and the exit check still reads the run.
    auto* run = new ScenarioRun(std::move(commands), folder);
    return run->Run();
}
