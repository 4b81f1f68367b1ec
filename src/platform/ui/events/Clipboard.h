// The host clipboard as UTF-8 text (an in-memory one in headless mode).
#pragma once

#include <string>

std::string GetClipboardText();
void SetClipboardText(const std::string& text);
