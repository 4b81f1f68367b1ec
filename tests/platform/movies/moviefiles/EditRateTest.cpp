// The rate a saved edit's samples are retimed for: the fraction the edit
// was scaled by when its end lies on a sample boundary within the rounding
// of its 16.16 rate, else the stored rate itself.
#include <gtest/gtest.h>

#include "platform/movies/moviefiles/EditRate.h"

TEST(EditMediaRate, RecoversTheScaleMeantWhereTheEditEndsOnASample)
{
    struct Row {
        const char* what;
        UInt32 frames;  // of 512 units at 12800 (25 a second)
        Edit edit;      // in a movie time scale of 1000
        MediaRate rate;
    };
    const Row rows[] = {
        {"rate 1", 60, {2400, 0, fixed1}, {1, 1}},
        {"empty", 60, {600, -1, fixed1}, {1, 1}},
        {"reversed, not retimed", 60, {2400, 0, -fixed1}, {1, 1}},
        {"twice as long", 60, {4800, 0, fixed1 / 2}, {1, 2}},
        {"half as long", 60, {1200, 0, 2 * fixed1}, {2, 1}},
        {"2.4 s to 2.002 s: 29.97 a second", 60, {2002, 0, 78565}, {1200, 1001}},
        {"an hour to 29.97 a second, past the rate's rounding", 90000, {3003000, 0, 78565}, {1200, 1001}},
        {"the last 30 frames", 60, {1001, 15360, 78565}, {1200, 1001}},
        {"ending inside a frame: the rate as stored", 60, {1000, 0, 78565}, {78565, 65536}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SampleTable table;
        table.times = {{row.frames, 512}};
        MediaRate rate = EditMediaRate(row.edit, table, 1000, 12800);
        EXPECT_EQ(rate.num, row.rate.num);
        EXPECT_EQ(rate.den, row.rate.den);
    }
}
