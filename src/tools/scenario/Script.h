// A scenario script: one command per line, read and checked as a whole
// before the application starts, so that a mistake in the script never
// shows up half way through a run.
#pragma once

#include <string>
#include <vector>

namespace scenario {

struct Argument {
    std::string text;
    bool quoted = false;  // written in double quotes (a window title, say)
};

struct Command {
    int line = 0;
    std::string name;
    std::vector<Argument> args;
    std::string rest;  // everything after the name and one blank (`type`)
};

struct ScriptError {
    int line = 0;
    std::string reason;
};

// Splits the text into commands and checks each one's name and arguments.
// Returns false with the first mistake in *error.
bool ParseScript(const std::string& text, std::vector<Command>* commands, ScriptError* error);

// Commands that set up the run (screen size, system answers); only before
// every other command.
bool IsSetupCommand(const std::string& name);
// Commands that report (dump, screenshot, audio) rather than give input.
bool IsOutputCommand(const std::string& name);

// Number parsing shared with the runner; false unless the whole text is a
// number in range.
bool ParseInt(const std::string& text, long min, long max, long* value);
bool ParseHex(const std::string& text, unsigned long* value);
// An argument already checked to be a 16-bit number.
short ShortValue(const Argument& a);

}  // namespace scenario
