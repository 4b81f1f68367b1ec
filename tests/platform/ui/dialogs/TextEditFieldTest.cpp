#include "platform/ui/dialogs/TextEditField.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/quickdraw/Utf8Text.h"

namespace {

class MemoryClipboard : public TextClipboard {
public:
    std::string GetText() override { return text; }
    void SetText(const std::string& t) override { text = t; }
    std::string text;
};

constexpr UInt16 kCmd = 256;
constexpr UInt16 kShift = 512;
constexpr UInt16 kOption = 2048;

TextKey Char(char c, UInt16 modifiers = 0) { return TextKey{static_cast<unsigned char>(c), modifiers, std::string(1, c)}; }
TextKey Special(unsigned char code, UInt16 modifiers = 0) { return TextKey{code, modifiers, ""}; }
TextKey Typed(const std::string& utf8) { return TextKey{0, 0, utf8}; }

const std::string kEAcute = "\xC3\xA9";  // é

// A field with a text and a selection gets keys; then its text and
// selection are checked.
TEST(TextEditField, Keys)
{
    struct Case {
        const char* what;
        std::string text;
        size_t selStart, selEnd;
        std::vector<TextKey> keys;
        std::string after;
        size_t afterStart, afterEnd;
        size_t limit = 255;
    };
    const TextKey left = Special(0x1C), right = Special(0x1D);
    const Case cases[] = {
        {"typing replaces the selection", "hello", 0, 5, {Char('x')}, "x", 1, 1},
        {"Backspace deletes a whole UTF-8 character", "a" + kEAcute, 3, 3, {Special(0x08)}, "a", 1, 1},
        {"forward delete removes the character after the caret", kEAcute + "b", 0, 0, {Special(0x7F)}, "b", 0, 0},
        {"arrows move by character across multibyte text", "a" + kEAcute + "b", 1, 1, {right}, "a" + kEAcute + "b", 3, 3},
        {"left arrow collapses a selection to its start", "hello", 1, 4, {left}, "hello", 1, 1},
        {"shift-arrows grow from the anchor", "abcd", 2, 2, {Special(0x1C, kShift), Special(0x1C, kShift)}, "abcd", 0, 2},
        {"and shrink back past it",
         "abcd", 2, 2,
         {Special(0x1C, kShift), Special(0x1C, kShift), Special(0x1D, kShift), Special(0x1D, kShift),
          Special(0x1D, kShift)},
         "abcd", 2, 3},
        {"option-arrows step by word", "one two three", 0, 0,
         {Special(0x1D, kOption), Special(0x1D, kOption), Special(0x1C, kOption)}, "one two three", 4, 4},
        {"a character that does not fit the limit is not split", std::string(254, 'a'), 254, 254,
         {Typed(kEAcute)}, std::string(254, 'a'), 254, 254},
        {"one that fits is typed whole", std::string(253, 'a'), 253, 253, {Typed(kEAcute)},
         std::string(253, 'a') + kEAcute, 255, 255},
        {"dialog keys and unknown command keys are left alone", "abc", 3, 3,
         {Special(0x09), TextKey{0x0D, 0, "\r"}, Special(0x1B), Char('q', kCmd)}, "abc", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextEditField f(c.limit);
        f.SetText(c.text);
        f.SetSelection(c.selStart, c.selEnd);
        for (const TextKey& key : c.keys)
            f.HandleKey(key, nullptr);
        EXPECT_EQ(f.Text(), c.after);
        EXPECT_EQ(f.SelectionStart(), c.afterStart);
        EXPECT_EQ(f.SelectionEnd(), c.afterEnd);
    }
    TextEditField f;
    f.SetText("abc");
    EXPECT_EQ(f.HandleKey(Special(0x08), nullptr), TextKeyResult::kEdited);
    EXPECT_EQ(f.HandleKey(left, nullptr), TextKeyResult::kMoved);
    EXPECT_EQ(f.HandleKey(Special(0x1B), nullptr), TextKeyResult::kIgnored);
}

// SetText and SetSelection keep to whole characters.
TEST(TextEditField, SetTextAndSelectionKeepToCharacterBoundaries)
{
    TextEditField f(5);
    f.SetText("ab" + kEAcute + kEAcute);  // 6 bytes
    EXPECT_EQ(f.Text(), "ab" + kEAcute);
    f.SetSelection(3, 3);  // the middle of é
    EXPECT_EQ(f.SelectionStart(), 2u);
}

// Clicks at byte offsets (shift held or not, the click count) and drags,
// then the selected text.
TEST(TextEditField, ClicksAndDrags)
{
    struct Step {
        size_t offset;
        bool shift = false;
        int clicks = 1;  // 0: a drag to offset
    };
    struct Case {
        const char* what;
        std::string text;
        std::vector<Step> steps;
        std::string selected;
    };
    const std::string deja = "d" + kEAcute + "j\xC3\xA0";
    const Case cases[] = {
        {"a double click selects the word, accented letters included", deja + " vu", {{2}, {2, false, 2}}, deja},
        {"a double click on a space selects only that space", "ab cd", {{2, false, 2}}, " "},
        {"a drag after a double click extends by whole words", "alpha beta gamma", {{7, false, 2}, {12, false, 0}},
         "beta gamma"},
        {"and back over the first word", "alpha beta gamma", {{7, false, 2}, {12, false, 0}, {1, false, 0}},
         "alpha beta"},
        {"a triple click selects everything", "alpha beta", {{3, false, 3}}, "alpha beta"},
        {"a shift-click extends from the caret", "abcdef", {{1}, {4, true}}, "bcd"},
        {"a drag selects from the press point", "abcdef", {{4}, {2, false, 0}}, "cd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextEditField f;
        f.SetText(c.text);
        for (const Step& step : c.steps) {
            if (step.clicks == 0)
                f.DragTo(step.offset);
            else
                f.ClickAt(step.offset, step.shift, step.clicks);
        }
        EXPECT_EQ(f.SelectedText(), c.selected);
    }
}

// Command keys cut, copy, paste and select all; pasted line breaks become
// spaces, and the limit holds.
TEST(TextEditField, CommandKeysCutCopyPasteAndSelectAll)
{
    TextEditField f(13);
    MemoryClipboard clip;
    f.SetText("hello world");
    f.SetSelection(0, 5);
    EXPECT_EQ(f.HandleKey(Char('c', kCmd), &clip), TextKeyResult::kMoved);
    EXPECT_EQ(clip.text, "hello");
    EXPECT_EQ(f.HandleKey(Char('X', kCmd), &clip), TextKeyResult::kEdited);
    EXPECT_EQ(f.Text(), " world");
    f.MoveToEnd(false);
    clip.text = "he\nllo" + kEAcute + "!";
    f.HandleKey(Char('v', kCmd), &clip);
    EXPECT_EQ(f.Text(), " worldhe llo") << "the limit leaves no room for the whole é";
    f.HandleKey(Char('a', kCmd), &clip);
    EXPECT_EQ(f.SelectedText(), f.Text());
}

TEST(Utf8Text, BoundariesStepOverWholeSequences)
{
    std::string s = "a\xE2\x82\xAC" "b";  // a € b
    EXPECT_EQ(utf8::NextBoundary(s, 1), 4u);
    EXPECT_EQ(utf8::PrevBoundary(s, 4), 1u);
    EXPECT_EQ(utf8::SnapToBoundary(s, 3), 1u);
    EXPECT_EQ(utf8::DecodeAt(s, 1), 0x20ACu);
}

}  // namespace
