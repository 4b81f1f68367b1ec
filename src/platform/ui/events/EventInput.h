// How a backend hands host input to the toolbox.
//
// The backend translates what the host reports into these calls; the
// toolbox keeps the mouse and modifier state and queues the classic events.
// Positions are global, in points.
#pragma once

#include <string>

#include "platform/core/MacTypes.h"

void UIInputMouseMoved(Point where);
void UIInputMouseButton(bool down, Point where);
// A key press or release. text is the UTF-8 the key typed ("" when it typed
// nothing, or when the host reports the text separately with UIInputText).
void UIInputKey(bool down, UInt8 charCode, UInt8 keyCode, const std::string& text = std::string());
// A key held down that repeats: an auto-key event.
void UIInputAutoKey(UInt8 charCode, UInt8 keyCode, const std::string& text = std::string());
// Typed text that arrives apart from key presses (host text input, paste of
// an input method): one key-down per character, charCode 0 for non-ASCII.
void UIInputText(const std::string& utf8);
// The modifier bits (cmdKey, shiftKey, optionKey, controlKey, alphaLock) now down.
void UIInputModifiers(UInt16 modifiers);
// The screen changed size (points) or scale; windows keep their places.
void UIInputScreenResized();
// The mouse wheel over a window: down and right count notches (negative for
// up and left). Each becomes clicks on the matching arrow of the window's
// scroll bar.
void UIInputWheel(Point where, int down, int right);
