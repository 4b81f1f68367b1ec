// Running another program (ffmpeg, ffprobe) from a test.
#pragma once

#include <string>

// Runs a shell command; returns its exit status (-1 when it did not exit
// normally) and, when asked, its standard output and error together.
int RunCommand(const std::string& command, std::string* output = nullptr);
// What a command prints on its standard output and error.
std::string CommandOutput(const std::string& command);
// text as one shell word.
std::string Quote(const std::string& text);
