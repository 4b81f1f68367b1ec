#include "platform/ui/resources/Resources.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/core/Memory.h"

namespace {

class Resources : public ::testing::Test {
protected:
    void SetUp() override { ClearResourceTemplates(); }
    void TearDown() override { ClearResourceTemplates(); }
};

// Templates are found by type and number; registering again replaces,
// unregistering removes, and what is missing gives nil and resNotFound.
TEST_F(Resources, TemplatesAreFoundByTypeAndNumber)
{
    EXPECT_EQ(GetResource('DITL', 500), nullptr);
    EXPECT_EQ(ResError(), resNotFound);
    RegisterWindowTemplate(200, WindowTemplate{Rect{40, 10, 240, 310}, 8, true, true, 7, "Tracks"});
    const WindowTemplate* t = LookupWindowTemplate(200);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->title, "Tracks");
    EXPECT_EQ(LookupWindowTemplate(201), nullptr);
    EXPECT_EQ(LookupControlTemplate(200), nullptr) << "types do not mix";
    RegisterControlTemplate(1020, ControlTemplate{Rect{}, 0, true, 10, 0, 16, 0, "a"});
    RegisterControlTemplate(1020, ControlTemplate{Rect{}, 0, true, 20, 0, 16, 0, "b"});
    EXPECT_EQ(LookupControlTemplate(1020)->maximum, 20);
    UnregisterResourceTemplate('CNTL', 1020);
    EXPECT_EQ(LookupControlTemplate(1020), nullptr);
}

TEST_F(Resources, TypeListHandleHasTheNavigationLayout)
{
    RegisterTypeListTemplate(128, TypeListTemplate{'TVOD', {'MooV', 'mp4 '}});
    Handle h = GetResource('open', 128);
    ASSERT_NE(h, nullptr);
    OSType signature = 0;
    short count = 0;
    std::memcpy(&signature, *h, 4);
    std::memcpy(&count, *h + 6, 2);
    EXPECT_EQ(signature, OSType('TVOD'));
    EXPECT_EQ(count, 2);
    std::vector<OSType> types = TypeListFromHandle(h);
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[1], OSType('mp4 '));
    ReleaseResource(h);
}

}  // namespace
