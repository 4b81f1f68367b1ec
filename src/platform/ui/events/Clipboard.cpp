#include "platform/ui/events/Clipboard.h"

#include "platform/ui/backend/Backend.h"

std::string GetClipboardText() { return UICurrentBackend().ClipboardText(); }

void SetClipboardText(const std::string& text) { UICurrentBackend().SetClipboardText(text); }
