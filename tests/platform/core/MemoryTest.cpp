#include <gtest/gtest.h>

#include <cstring>

#include "platform/core/Memory.h"

// A handle keeps its contents when it grows; negative sizes and nil
// handles are refused with their codes.
TEST(Memory, HandlesKeepTheirContentsAndRefuseBadSizes)
{
    Handle h = NewHandle(4);
    ASSERT_NE(h, nullptr);
    std::memcpy(*h, "abcd", 4);
    SetHandleSize(h, 1 << 20);
    EXPECT_EQ(MemError(), noErr);
    EXPECT_EQ(GetHandleSize(h), 1 << 20);
    EXPECT_EQ(std::memcmp(*h, "abcd", 4), 0);
    DisposeHandle(h);
    EXPECT_EQ(NewHandle(-1), nullptr);
    EXPECT_EQ(MemError(), paramErr);
    EXPECT_EQ(GetHandleSize(nullptr), 0);
    EXPECT_EQ(MemError(), nilHandleErr);
}

TEST(Memory, BlockMoveHandlesOverlap)
{
    char buf[] = "123456";
    BlockMove(buf, buf + 2, 4);
    EXPECT_STREQ(buf, "121234");
}
