#include "platform/ui/dialogs/TextEditField.h"

#include <algorithm>

#include "platform/core/PascalStrings.h"
#include "platform/ui/quickdraw/Utf8Text.h"

namespace {

enum : unsigned char {
    kBackspaceChar = 0x08,
    kDeleteChar = 0x7F,
    kLeftArrowChar = 0x1C,
    kRightArrowChar = 0x1D,
    kUpArrowChar = 0x1E,
    kDownArrowChar = 0x1F,
    kHomeChar = 0x01,
    kEndChar = 0x04,
};
constexpr UInt16 kCmdKey = 256;
constexpr UInt16 kShiftKey = 512;
constexpr UInt16 kOptionKey = 2048;

// Control characters never enter a one-line field; a pasted line break
// becomes a space so that pasted text stays readable.
std::string PrintableOnly(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    for (char ch : in) {
        auto b = static_cast<unsigned char>(ch);
        if (b == '\r' || b == '\n' || b == '\t')
            out += ' ';
        else if (b >= 0x20 && b != kDeleteChar)
            out += ch;
    }
    return out;
}

}  // namespace

TextEditField::TextEditField(size_t maxBytes) : maxBytes(maxBytes) {}

void TextEditField::SetText(std::string_view newText)
{
    text.assign(newText.substr(0, pstr::Utf8CutLength(newText, maxBytes)));
    selStart = selEnd = anchor = text.size();
}

std::string TextEditField::SelectedText() const
{
    return text.substr(selStart, selEnd - selStart);
}

size_t TextEditField::Clamp(size_t pos) const
{
    return utf8::SnapToBoundary(text, std::min(pos, text.size()));
}

void TextEditField::SetSelection(size_t start, size_t end)
{
    start = Clamp(start);
    end = Clamp(end);
    anchor = start;
    selStart = std::min(start, end);
    selEnd = std::max(start, end);
}

void TextEditField::SelectAll() { SetSelection(0, text.size()); }

void TextEditField::Insert(std::string_view newText)
{
    std::string clean = PrintableOnly(newText);
    size_t room = maxBytes - (text.size() - (selEnd - selStart));
    clean.resize(pstr::Utf8CutLength(clean, room));
    text.replace(selStart, selEnd - selStart, clean);
    selStart = selEnd = anchor = selStart + clean.size();
}

void TextEditField::DeleteBackward()
{
    if (!HasSelection())
        selStart = utf8::PrevBoundary(text, selStart);
    Insert("");
}

void TextEditField::DeleteForward()
{
    if (!HasSelection())
        selEnd = utf8::NextBoundary(text, selEnd);
    Insert("");
}

void TextEditField::SetCaretKeepingAnchor(size_t pos, bool extend)
{
    pos = Clamp(pos);
    if (!extend)
        anchor = pos;
    selStart = std::min(anchor, pos);
    selEnd = std::max(anchor, pos);
}

// The moving end of the selection: the one away from the anchor.
size_t TextEditField::ActiveEnd() const { return anchor == selStart ? selEnd : selStart; }

void TextEditField::MoveLeft(bool extend)
{
    if (!extend && HasSelection())
        SetCaretKeepingAnchor(selStart, false);
    else
        SetCaretKeepingAnchor(utf8::PrevBoundary(text, ActiveEnd()), extend);
}

void TextEditField::MoveRight(bool extend)
{
    if (!extend && HasSelection())
        SetCaretKeepingAnchor(selEnd, false);
    else
        SetCaretKeepingAnchor(utf8::NextBoundary(text, ActiveEnd()), extend);
}

void TextEditField::MoveToStart(bool extend) { SetCaretKeepingAnchor(0, extend); }
void TextEditField::MoveToEnd(bool extend) { SetCaretKeepingAnchor(text.size(), extend); }

void TextEditField::MoveWordLeft(bool extend)
{
    SetCaretKeepingAnchor(utf8::PrevWordStart(text, ActiveEnd()), extend);
}

void TextEditField::MoveWordRight(bool extend)
{
    SetCaretKeepingAnchor(utf8::NextWordEnd(text, ActiveEnd()), extend);
}

void TextEditField::ClickAt(size_t offset, bool shift, int clickCount)
{
    offset = Clamp(offset);
    draggingWords = false;
    if (clickCount >= 3) {
        SelectAll();
    } else if (clickCount == 2) {
        auto [first, last] = utf8::WordAt(text, offset);
        SetSelection(first, last);
        wordAnchorStart = first;
        wordAnchorEnd = last;
        draggingWords = true;
    } else {
        SetCaretKeepingAnchor(offset, shift);
    }
}

void TextEditField::DragTo(size_t offset)
{
    offset = Clamp(offset);
    if (!draggingWords) {
        SetCaretKeepingAnchor(offset, true);
        return;
    }
    // Dragging after a double-click grows the selection a word at a time,
    // always keeping the word first clicked.
    auto [first, last] = utf8::WordAt(text, offset);
    selStart = std::min(first, wordAnchorStart);
    selEnd = std::max(last, wordAnchorEnd);
    anchor = offset < wordAnchorStart ? wordAnchorEnd : wordAnchorStart;
}

TextKeyResult TextEditField::HandleCommandKey(unsigned char c, TextClipboard* clipboard)
{
    switch (c | 0x20) {  // command keys ignore case
    case 'a':
        SelectAll();
        return TextKeyResult::kMoved;
    case 'c':
        if (clipboard != nil && HasSelection())
            clipboard->SetText(SelectedText());
        return TextKeyResult::kMoved;
    case 'x':
        if (!HasSelection())
            return TextKeyResult::kMoved;
        if (clipboard != nil)
            clipboard->SetText(SelectedText());
        Insert("");
        return TextKeyResult::kEdited;
    case 'v':
        if (clipboard == nil)
            return TextKeyResult::kMoved;
        Insert(clipboard->GetText());
        return TextKeyResult::kEdited;
    default:
        return TextKeyResult::kIgnored;
    }
}

TextKeyResult TextEditField::HandleKey(const TextKey& key, TextClipboard* clipboard)
{
    const bool shift = (key.modifiers & kShiftKey) != 0;
    const bool byWord = (key.modifiers & kOptionKey) != 0;
    const bool command = (key.modifiers & kCmdKey) != 0;
    switch (key.charCode) {
    case kLeftArrowChar:
        command ? MoveToStart(shift) : byWord ? MoveWordLeft(shift) : MoveLeft(shift);
        return TextKeyResult::kMoved;
    case kRightArrowChar:
        command ? MoveToEnd(shift) : byWord ? MoveWordRight(shift) : MoveRight(shift);
        return TextKeyResult::kMoved;
    case kUpArrowChar:
    case kHomeChar:
        MoveToStart(shift);
        return TextKeyResult::kMoved;
    case kDownArrowChar:
    case kEndChar:
        MoveToEnd(shift);
        return TextKeyResult::kMoved;
    case kBackspaceChar:
        DeleteBackward();
        return TextKeyResult::kEdited;
    case kDeleteChar:
        DeleteForward();
        return TextKeyResult::kEdited;
    default:
        break;
    }
    if (command)
        return HandleCommandKey(key.charCode, clipboard);
    // Tab, Return, Enter and Escape belong to the dialog, not the field.
    if (key.charCode != 0 && key.charCode < 0x20)
        return TextKeyResult::kIgnored;
    if (!key.text.empty()) {
        if (PrintableOnly(key.text).empty())
            return TextKeyResult::kIgnored;
        Insert(key.text);
        return TextKeyResult::kEdited;
    }
    // A key without text is plain ASCII; other bytes alone are not text.
    if (key.charCode >= 0x20 && key.charCode < 0x7F) {
        Insert(std::string(1, static_cast<char>(key.charCode)));
        return TextKeyResult::kEdited;
    }
    return TextKeyResult::kIgnored;
}
