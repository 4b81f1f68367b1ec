#include "platform/ui/Clipboard.h"

#include "platform/ui/Backend.h"

std::string GetClipboardText() { return UICurrentBackend().ClipboardText(); }

void SetClipboardText(const std::string& text) { UICurrentBackend().SetClipboardText(text); }
