#include <gtest/gtest.h>

#include <cstring>

#include "platform/ui/appleevents/AEDescriptors.h"

namespace {

// A list of three four-byte items of type 'fss '-like test data.
class ThreeItemList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(AECreateList(nil, 0, false, &list), noErr);
        for (SInt32 v : {10, 20, 30})
            ASSERT_EQ(AEPutPtr(&list, 0, typeSInt32, &v, sizeof v), noErr);
    }
    void TearDown() override { AEDisposeDesc(&list); }

    SInt32 Item(long index)
    {
        SInt32 v = -1;
        EXPECT_EQ(AEGetNthPtr(&list, index, typeSInt32, nil, nil, &v, sizeof v, nil), noErr);
        return v;
    }

    AEDescList list{};
};

}  // namespace

// Items come out in order; an index outside the list is illegal and a
// type the item does not have fails; the wildcard gives the item with its
// type and size, and a short buffer gets no more than it holds.
TEST_F(ThreeItemList, HandsOutItemsByIndex)
{
    long count = 0;
    ASSERT_EQ(AECountItems(&list, &count), noErr);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Item(1), 10);
    EXPECT_EQ(Item(2), 20);
    EXPECT_EQ(Item(3), 30);
    unsigned char buffer[70] = {0xEE, 0xEE, 0xEE};
    for (long index : {0, 4, -1})
        EXPECT_EQ(AEGetNthPtr(&list, index, typeSInt32, nil, nil, buffer, 4, nil), errAEIllegalIndex) << index;
    EXPECT_EQ(AEGetNthPtr(&list, 1, typeFSS, nil, nil, buffer, sizeof buffer, nil), errAECoercionFail);
    DescType type = 0;
    Size size = 0;
    AEKeyword keyword = 0;
    ASSERT_EQ(AEGetNthPtr(&list, 2, typeWildCard, &keyword, &type, buffer, 2, &size), noErr);
    EXPECT_EQ(type, typeSInt32);
    EXPECT_EQ(size, 4) << "the full size, though two bytes were copied";
    EXPECT_EQ(keyword, typeWildCard);
    EXPECT_EQ(buffer[2], 0xEE);
}

// A non-list cannot be counted or indexed; disposing leaves a null
// descriptor and may be repeated.
TEST(AEDescriptors, ScalarsAreNoListsAndDisposeLeavesANullDescriptor)
{
    AEDesc scalar;
    SInt32 v = 5;
    ASSERT_EQ(AECreateDesc(typeSInt32, &v, sizeof v, &scalar), noErr);
    long count = 0;
    EXPECT_EQ(AECountItems(&scalar, &count), errAEWrongDataType);
    EXPECT_EQ(AEGetNthPtr(&scalar, 1, typeSInt32, nil, nil, &v, sizeof v, nil), errAEWrongDataType);
    EXPECT_EQ(AEDisposeDesc(&scalar), noErr);
    EXPECT_EQ(scalar.descriptorType, typeNull);
    EXPECT_EQ(scalar.dataHandle, nullptr);
    EXPECT_EQ(AEDisposeDesc(&scalar), noErr);
    EXPECT_EQ(AECountItems(&scalar, &count), errAEWrongDataType);
}

TEST(AEDescriptors, ParametersOfAnAppleEvent)
{
    AppleEvent event;
    ASSERT_EQ(AECreateAppleEvent('aevt', 'odoc', nil, kAutoGenerateReturnID, kAnyTransactionID, &event), noErr);
    AEDesc text;
    ASSERT_EQ(AECreateDesc(typeChar, "hello", 5, &text), noErr);
    ASSERT_EQ(AEPutParamDesc(&event, keyDirectObject, &text), noErr);
    AEDisposeDesc(&text);

    AEDesc out;
    EXPECT_EQ(AEGetParamDesc(&event, 'miss', typeWildCard, &out), errAEDescNotFound);
    EXPECT_EQ(out.descriptorType, typeNull);
    EXPECT_EQ(AEGetParamDesc(&event, keyDirectObject, typeFSS, &out), errAECoercionFail);

    ASSERT_EQ(AEGetParamDesc(&event, keyDirectObject, typeChar, &out), noErr);
    EXPECT_EQ(out.descriptorType, typeChar);
    AEDisposeDesc(&out);

    // A single descriptor asked for as a list reads as a list of one.
    ASSERT_EQ(AEGetParamDesc(&event, keyDirectObject, typeAEList, &out), noErr);
    long count = 0;
    ASSERT_EQ(AECountItems(&out, &count), noErr);
    EXPECT_EQ(count, 1);
    char buffer[8] = {};
    Size size = 0;
    ASSERT_EQ(AEGetNthPtr(&out, 1, typeChar, nil, nil, buffer, sizeof buffer, &size), noErr);
    EXPECT_EQ(std::string(buffer, size), "hello");
    AEDisposeDesc(&out);
    AEDisposeDesc(&event);
}
