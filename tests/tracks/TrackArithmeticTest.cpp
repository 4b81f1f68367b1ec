// The numbers behind the track dialogs and the tracks window's title: what
// the scenario scripts cannot type exactly enough to pin down.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/core/PascalStrings.h"
#include "tracks/OrvoTracksWindow.h"
#include "tracks/TrackDialogs.h"
#include "util/TextUtils.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

std::string Text(double value, void (*write)(double, StringPtr))
{
    Str255 buff;
    write(value, buff);
    return pstr::ToStd(buff);
}

std::string Time(double s) { return Text(s, TimeToString); }
std::string Number(double v) { return Text(v, DoubleToString); }

TEST(TracksWindowTitle, AddsTracksWhileTheTitleFits)
{
    struct Case {
        size_t nameLength;
        size_t titleLength;
        bool suffixed;
    };
    for (const Case& c : {Case{3, 10, true}, Case{247, 254, true}, Case{248, 248, false}, Case{255, 255, false}}) {
        Str255 name, title;
        pstr::FromStd(std::string(c.nameLength, 'm'), name);
        TracksWindowTitle(name, title);
        std::string t = pstr::ToStd(title);
        EXPECT_EQ(t.size(), c.titleLength) << c.nameLength;
        EXPECT_EQ(t.size() > 7 && t.substr(t.size() - 7) == " Tracks", c.suffixed) << c.nameLength;
    }
}

// 300 samples lasting 6000 units at 600 a second, the duration given in
// each of the three linked ways; the other fields follow the edited one.
// Entries that give no duration are refused and leave the last usable one;
// a media without samples shows 0 where a quotient has no value.
TEST(TrackTimeDialogArithmetic, LinkedFieldsFollowTheEditedOneAndZeroDivisorsAreRefused)
{
    struct Case {
        long samples;
        short field;
        double entry;
        bool usable;
        TimeValue newDuration;
        const char* shown;  // seconds, rate, sample duration; null: check the rate alone
        double rate;
    };
    const Case cases[] = {
        {300, 3, 6000, true, 6000, "10.0 30 20"},           {300, 5, 25, true, 7200, "12.0 25 24"},
        {300, 5, 29.97, true, 6006, "10.1 29.97 20.02"},     {300, 3, 7000, true, 7000, "11.66 25.7143 23.3333"},
        {300, 4, 12.5, true, 7500, "12.50 24 25"},           {300, 5, 0.0, false, 6000, nullptr, 30},
        {300, 5, NAN, false, 6000, nullptr, 30},             {300, 5, INFINITY, false, 6000, nullptr, 30},
        {300, 4, 0.0, false, 6000, nullptr, 30},             {300, 5, 1e-300, true, INT32_MAX, nullptr, 180000.0 / INT32_MAX},
        {0, 5, 25, false, 6000, nullptr, 0},                 {0, 3, 6000, true, 6000, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.samples) + " samples, field " + std::to_string(c.field) + ": " +
                     std::to_string(c.entry));
        TrackTimeDialog d(nullptr);
        d.SetValuesForTest(c.samples, 600, 6000);
        if (c.field == 3)
            d.newDuration = TimeValue(c.entry);
        else if (c.field == 4)
            d.SetNewDurationSeconds(c.entry);
        else
            d.SetFrameRate(c.entry);
        EXPECT_EQ(d.RecalculateValues(c.field), c.usable);
        EXPECT_EQ(d.newDuration, c.newDuration);
        EXPECT_EQ(d.newTimeScale, 600);
        if (c.shown)
            EXPECT_EQ(Time(d.NewDurationSeconds()) + " " + Number(d.FrameRate()) + " " + Number(d.NewSampleDuration()),
                      c.shown);
        else
            EXPECT_NEAR(d.FrameRate(), c.rate, 1e-9);
        EXPECT_TRUE(std::isfinite(d.NewSampleDuration()));
    }
}

// The offset dialog's conversions at 600 units a second beyond what
// tracks.cases types: hours read back, and what no offset can hold clamped.
TEST(TrackOffsetConversion, HoursAndClamping)
{
    Str255 buff;
    pstr::FromStd("1:0:0.0", buff);
    EXPECT_EQ(SecondsToUnits(StringToTime(buff), 600), 2160000);
    EXPECT_EQ(SecondsToUnits(NAN, 600), 0);
    EXPECT_EQ(SecondsToUnits(1e12, 600), INT32_MAX);
    EXPECT_EQ(SecondsToUnits(-1e12, 600), INT32_MIN);
}

}  // namespace
