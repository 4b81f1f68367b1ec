// The model of one edit-text field: text, selection and the keys people
// expect to work in it. It knows nothing about drawing or events, so its
// behaviour is tested on its own; the Dialog Manager draws it and feeds it
// keys and clicks.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/MacTypes.h"

// Where cut, copy and paste go. The Dialog Manager connects it to the host
// clipboard; tests may use an in-memory one.
class TextClipboard {
public:
    virtual ~TextClipboard() = default;
    virtual std::string GetText() = 0;
    virtual void SetText(const std::string& text) = 0;
};

// One key press as the field sees it: the character code (low byte of the
// event message), the modifiers, and the UTF-8 text the key produced (empty
// for keys that produce none).
struct TextKey {
    unsigned char charCode = 0;
    UInt16 modifiers = 0;
    std::string text;
};

enum class TextKeyResult {
    kIgnored,   // not a key for the field (Tab, Return, unknown command keys)
    kMoved,     // caret or selection changed, text did not
    kEdited,    // the text changed
};

class TextEditField {
public:
    // 255 bytes: what a Str255 dialog item can hold.
    explicit TextEditField(size_t maxBytes = 255);

    const std::string& Text() const { return text; }
    // Replaces the text, cut at a character boundary to the limit; the
    // caret goes to the end.
    void SetText(std::string_view newText);

    size_t SelectionStart() const { return selStart; }
    size_t SelectionEnd() const { return selEnd; }
    bool HasSelection() const { return selStart != selEnd; }
    std::string SelectedText() const;
    // The end of the selection that moves (the caret when there is no
    // selection); the other end is the anchor.
    size_t ActiveEnd() const;
    // Offsets are clamped and moved to character boundaries. The anchor,
    // the end that Shift+arrow and Shift+click keep, is start.
    void SetSelection(size_t start, size_t end);
    void SelectAll();

    // Replaces the selection with text; as much as fits within the limit
    // is inserted, never half a character.
    void Insert(std::string_view newText);
    void DeleteBackward();
    void DeleteForward();

    // Caret moves by character (or to the ends of the text); with extend,
    // the selection grows or shrinks from its anchor.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveToStart(bool extend);
    void MoveToEnd(bool extend);
    void MoveWordLeft(bool extend);
    void MoveWordRight(bool extend);

    // A mouse-down at a byte offset: one click places the caret (Shift
    // extends), two select the word, three select everything. DragTo
    // follows the mouse while it stays down.
    void ClickAt(size_t offset, bool shift, int clickCount);
    void DragTo(size_t offset);

    TextKeyResult HandleKey(const TextKey& key, TextClipboard* clipboard);

private:
    void SetCaretKeepingAnchor(size_t pos, bool extend);
    size_t Clamp(size_t pos) const;
    TextKeyResult HandleCommandKey(unsigned char c, TextClipboard* clipboard);

    std::string text;
    size_t maxBytes;
    size_t selStart = 0;
    size_t selEnd = 0;
    size_t anchor = 0;
    // After a double-click, dragging extends by whole words from this word.
    size_t wordAnchorStart = 0;
    size_t wordAnchorEnd = 0;
    bool draggingWords = false;
};
