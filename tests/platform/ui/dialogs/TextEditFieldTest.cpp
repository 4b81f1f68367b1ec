#include "platform/ui/dialogs/TextEditField.h"

#include <gtest/gtest.h>

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

TEST(TextEditField, TypingReplacesTheSelection)
{
    TextEditField f;
    f.SetText("hello");
    f.SelectAll();
    f.HandleKey(Char('x'), nullptr);
    EXPECT_EQ(f.Text(), "x");
    EXPECT_EQ(f.SelectionStart(), 1u);
    EXPECT_FALSE(f.HasSelection());
}

TEST(TextEditField, BackspaceDeletesAWholeUtf8Character)
{
    TextEditField f;
    f.HandleKey(Char('a'), nullptr);
    f.HandleKey(Typed(kEAcute), nullptr);
    ASSERT_EQ(f.Text(), "a" + kEAcute);
    EXPECT_EQ(f.HandleKey(Special(0x08), nullptr), TextKeyResult::kEdited);
    EXPECT_EQ(f.Text(), "a");
}

TEST(TextEditField, ForwardDeleteRemovesTheCharacterAfterTheCaret)
{
    TextEditField f;
    f.SetText(kEAcute + "b");
    f.SetSelection(0, 0);
    f.HandleKey(Special(0x7F), nullptr);
    EXPECT_EQ(f.Text(), "b");
}

TEST(TextEditField, LimitCutsTypedTextWithoutSplittingACharacter)
{
    TextEditField f(255);
    f.SetText(std::string(254, 'a'));
    f.HandleKey(Typed(kEAcute), nullptr);
    EXPECT_EQ(f.Text().size(), 254u) << "a two-byte character does not fit in one byte";
    f.SetText(std::string(253, 'a'));
    f.HandleKey(Typed(kEAcute), nullptr);
    EXPECT_EQ(f.Text(), std::string(253, 'a') + kEAcute);
}

TEST(TextEditField, SetTextCutsAtACharacterBoundary)
{
    TextEditField f(5);
    f.SetText("ab" + kEAcute + kEAcute);  // 6 bytes
    EXPECT_EQ(f.Text(), "ab" + kEAcute);
}

TEST(TextEditField, ArrowsMoveByCharacterAcrossMultibyteText)
{
    TextEditField f;
    f.SetText("a" + kEAcute + "b");
    f.SetSelection(1, 1);
    f.HandleKey(Special(0x1D), nullptr);
    EXPECT_EQ(f.SelectionStart(), 3u);
    f.HandleKey(Special(0x1C), nullptr);
    EXPECT_EQ(f.SelectionStart(), 1u);
}

TEST(TextEditField, LeftArrowCollapsesASelectionToItsStart)
{
    TextEditField f;
    f.SetText("hello");
    f.SetSelection(1, 4);
    f.HandleKey(Special(0x1C), nullptr);
    EXPECT_EQ(f.SelectionStart(), 1u);
    EXPECT_EQ(f.SelectionEnd(), 1u);
}

TEST(TextEditField, ShiftArrowsGrowAndShrinkFromTheAnchor)
{
    TextEditField f;
    f.SetText("abcd");
    f.SetSelection(2, 2);
    f.HandleKey(Special(0x1C, kShift), nullptr);
    f.HandleKey(Special(0x1C, kShift), nullptr);
    EXPECT_EQ(f.SelectionStart(), 0u);
    EXPECT_EQ(f.SelectionEnd(), 2u);
    f.HandleKey(Special(0x1D, kShift), nullptr);
    EXPECT_EQ(f.SelectionStart(), 1u);
    EXPECT_EQ(f.SelectionEnd(), 2u);
    f.HandleKey(Special(0x1D, kShift), nullptr);
    f.HandleKey(Special(0x1D, kShift), nullptr);
    EXPECT_EQ(f.SelectionStart(), 2u);
    EXPECT_EQ(f.SelectionEnd(), 3u);
}

TEST(TextEditField, OptionArrowsStepByWord)
{
    TextEditField f;
    f.SetText("one two three");
    f.SetSelection(0, 0);
    f.HandleKey(Special(0x1D, kOption), nullptr);
    EXPECT_EQ(f.SelectionStart(), 3u);
    f.HandleKey(Special(0x1D, kOption), nullptr);
    EXPECT_EQ(f.SelectionStart(), 7u);
    f.HandleKey(Special(0x1C, kOption), nullptr);
    EXPECT_EQ(f.SelectionStart(), 4u);
}

TEST(TextEditField, DoubleClickSelectsTheWordIncludingAccentedLetters)
{
    TextEditField f;
    std::string text = "d" + kEAcute + "j" + "\xC3\xA0" + " vu";  // "déjà vu"
    f.SetText(text);
    f.ClickAt(2, false, 1);
    f.ClickAt(2, false, 2);
    EXPECT_EQ(f.SelectedText(), "d" + kEAcute + "j\xC3\xA0");
}

TEST(TextEditField, DoubleClickOnASpaceSelectsOnlyThatSpace)
{
    TextEditField f;
    f.SetText("ab cd");
    f.ClickAt(2, false, 2);
    EXPECT_EQ(f.SelectionStart(), 2u);
    EXPECT_EQ(f.SelectionEnd(), 3u);
}

TEST(TextEditField, DragAfterDoubleClickExtendsByWholeWords)
{
    TextEditField f;
    f.SetText("alpha beta gamma");
    f.ClickAt(7, false, 2);   // in "beta"
    f.DragTo(12);             // in "gamma"
    EXPECT_EQ(f.SelectedText(), "beta gamma");
    f.DragTo(1);              // back into "alpha"
    EXPECT_EQ(f.SelectedText(), "alpha beta");
}

TEST(TextEditField, TripleClickSelectsEverything)
{
    TextEditField f;
    f.SetText("alpha beta");
    f.ClickAt(3, false, 3);
    EXPECT_EQ(f.SelectedText(), "alpha beta");
}

TEST(TextEditField, ShiftClickExtendsFromTheCaret)
{
    TextEditField f;
    f.SetText("abcdef");
    f.ClickAt(1, false, 1);
    f.ClickAt(4, true, 1);
    EXPECT_EQ(f.SelectedText(), "bcd");
}

TEST(TextEditField, DragSelectsFromThePressPoint)
{
    TextEditField f;
    f.SetText("abcdef");
    f.ClickAt(4, false, 1);
    f.DragTo(2);
    EXPECT_EQ(f.SelectedText(), "cd");
}

TEST(TextEditField, OffsetsInsideASequenceSnapToItsStart)
{
    TextEditField f;
    f.SetText("a" + kEAcute);
    f.SetSelection(2, 2);  // the middle of é
    EXPECT_EQ(f.SelectionStart(), 1u);
}

TEST(TextEditField, CommandKeysCutCopyPasteAndSelectAll)
{
    TextEditField f;
    MemoryClipboard clip;
    f.SetText("hello world");
    f.SetSelection(0, 5);
    EXPECT_EQ(f.HandleKey(Char('c', kCmd), &clip), TextKeyResult::kMoved);
    EXPECT_EQ(clip.text, "hello");
    EXPECT_EQ(f.HandleKey(Char('X', kCmd), &clip), TextKeyResult::kEdited);
    EXPECT_EQ(f.Text(), " world");
    f.MoveToEnd(false);
    f.HandleKey(Char('v', kCmd), &clip);
    EXPECT_EQ(f.Text(), " worldhello");
    f.HandleKey(Char('a', kCmd), &clip);
    EXPECT_EQ(f.SelectedText(), " worldhello");
}

TEST(TextEditField, PastedLineBreaksBecomeSpacesAndTheLimitHolds)
{
    TextEditField f(6);
    MemoryClipboard clip;
    clip.text = "ab\ncd" + kEAcute;  // 7 bytes
    f.HandleKey(Char('v', kCmd), &clip);
    EXPECT_EQ(f.Text(), "ab cd");
}

TEST(TextEditField, DialogKeysAndUnknownCommandKeysAreLeftAlone)
{
    TextEditField f;
    f.SetText("abc");
    EXPECT_EQ(f.HandleKey(Special(0x09), nullptr), TextKeyResult::kIgnored);
    EXPECT_EQ(f.HandleKey(TextKey{0x0D, 0, "\r"}, nullptr), TextKeyResult::kIgnored);
    EXPECT_EQ(f.HandleKey(Special(0x1B), nullptr), TextKeyResult::kIgnored);
    EXPECT_EQ(f.HandleKey(Char('q', kCmd), nullptr), TextKeyResult::kIgnored);
    EXPECT_EQ(f.Text(), "abc");
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
