#include <gtest/gtest.h>

#include <cstring>

#include "platform/core/PascalStrings.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/harness/Harness.h"
#include "util/Utils.h"

namespace {

std::string Text(ConstStringPtr p) { return pstr::ToStd(p); }

// A dialog with an OK button, a static text and two edit fields.
class DialogItems : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start();
        ItemListTemplate items;
        items.items.push_back({kButtonDialogItem, {80, 10, 100, 70}, "OK", 0});
        items.items.push_back({statText, {10, 10, 26, 100}, "Label", 0});
        items.items.push_back({editText, {30, 10, 46, 100}, "600", 0});
        items.items.push_back({editText, {50, 10, 66, 100}, "", 0});
        RegisterItemListTemplate(4700, items);
        DialogTemplate dialog;
        dialog.bounds = {100, 100, 220, 300};
        dialog.itemsID = 4700;
        RegisterDialogTemplate(4700, dialog);
        dlg = GetNewDialog(4700, nil, reinterpret_cast<WindowPtr>(-1));
        ASSERT_NE(dlg, nullptr);
    }
    void TearDown() override
    {
        if (dlg != nil)
            DisposeDialog(dlg);
    }

    DialogPtr dlg = nil;
};

}  // namespace

// Text and numbers by item number; an item that is not there reads as
// empty (or 0) and ignores writes.
TEST_F(DialogItems, TextAndNumbersGoThroughTheItemByNumber)
{
    Str255 text;
    GetDialogItemTextByID(dlg, 2, text);
    EXPECT_EQ(Text(text), "Label");
    SetDialogItemLongByID(dlg, 4, -2147483647L - 1);
    GetDialogItemTextByID(dlg, 4, text);
    EXPECT_EQ(Text(text), "-2147483648");
    long value = 0;
    GetDialogItemLongByID(dlg, 3, &value);
    EXPECT_EQ(value, 600);
    GetDialogItemLongByID(dlg, 4, &value);
    EXPECT_EQ(value, -2147483648L);

    SetDialogItemTextByID(dlg, 9, text);
    GetDialogItemTextByID(dlg, 9, text);
    EXPECT_EQ(Text(text), "");
    GetDialogItemLongByID(dlg, 9, &value);
    EXPECT_EQ(value, 0);
}

TEST(StringCopy, CopiesTheLengthAndTheCharactersAndIgnoresNil)
{
    Str255 src, dest;
    pstr::FromStd("Track 1", src);
    std::memset(dest, 0xAA, sizeof dest);
    StringCopy(src, dest);
    EXPECT_EQ(Text(dest), "Track 1");
    EXPECT_EQ(dest[8], 0xAA);  // nothing past the text is touched
    StringCopy(nil, dest);
    StringCopy(dest, nil);
    EXPECT_EQ(Text(dest), "Track 1");
}
