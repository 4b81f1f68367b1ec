// The state dump's window kinds and the headless sound recording that the
// scenario driver relies on; the dialog items' form is checked by the
// scenario scripts (about.scn, alerts.scn).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/AppResources.h"
#include "platform/controller/MovieProgressWindow.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/backend/Backend.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "tools/scenario/StateDump.h"
#include "tools/scenario/WindowDescribers.h"
#include "util/MyError.h"

using namespace scenario;

namespace {

class DescribersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(800, 600);
        ClearResourceTemplates();
        RegisterAppResources();
    }
    void TearDown() override { harness::SetIdleProc(nullptr); }
};

TEST_F(DescribersTest, EachWindowGetsItsKind)
{
    ParamText("Label()"_p, "Error Code:"_p, "-43"_p, nullptr);
    DialogPtr about = GetNewDialog(kAboutDialogID, nullptr, reinterpret_cast<WindowPtr>(-1L));
    DialogPtr alert = GetNewDialog(kErrorAlertID, nullptr, reinterpret_cast<WindowPtr>(-1L));
    MovieProgressWindowProc(nullptr, movieProgressOpen, progressOpFlatten, 0, 0);
    MovieProgressWindowProc(nullptr, movieProgressUpdatePercent, progressOpFlatten, fixed1 / 4, 0);
    Rect bounds{100, 100, 200, 200};
    WindowPtr plain = NewCWindow(nullptr, &bounds, "Plain"_p, false, documentProc, nullptr, true, 0);

    EXPECT_STREQ(DescriberFor(about).kind, "dialog");
    EXPECT_STREQ(DescriberFor(alert).kind, "alert");
    EXPECT_STREQ(DescriberFor(MovieProgressWindow()).kind, "progress");
    EXPECT_STREQ(DescriberFor(plain).kind, "other");
    EXPECT_EQ(AppWindowOf(plain), nullptr);  // not registered with an engine

    std::string dump = DumpState();
    // Front to back: the progress window, the alert, the About box; the
    // hidden plain window went behind all of them.
    EXPECT_NE(dump.find("{\"title\":\"\",\"kind\":\"progress\",\"visible\":true,\"active\":true,"), std::string::npos)
        << dump;
    EXPECT_NE(dump.find("\"operation\":\"Writing the movie\xE2\x80\xA6\",\"done\":0.25}"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"kind\":\"alert\""), std::string::npos);
    EXPECT_NE(dump.find("\"id\":-192"), std::string::npos);
    EXPECT_NE(dump.find("\"title\":\"Plain\",\"kind\":\"other\",\"visible\":false"), std::string::npos);
    EXPECT_LT(dump.find("\"kind\":\"progress\""), dump.find("\"kind\":\"alert\""));
    EXPECT_LT(dump.find("\"kind\":\"alert\""), dump.find("\"title\":\"About Orvo\""));
    EXPECT_EQ(dump.substr(dump.size() - 11), "\"menus\":{}}");  // no menu bar loaded

    MovieProgressWindowProc(nullptr, movieProgressClose, progressOpFlatten, fixed1, 0);
    DisposeWindow(plain);
    DisposeDialog(alert);
    DisposeDialog(about);
}

TEST_F(DescribersTest, SoundIsRecordedTickByTickFromTheSourceWithSilenceBefore)
{
    harness::AdvanceTicks(3);  // no source yet: silence
    int calls = 0;
    UICurrentBackend().SetAudioSource([&calls](SInt16* frames, int count) {
        ASSERT_EQ(count, 800);
        for (int i = 0; i < count * 2; ++i)
            frames[i] = SInt16(calls * 1000 + i % 7);
        ++calls;
    });
    harness::AdvanceTicks(2);
    UICurrentBackend().SetAudioSource(nullptr);
    unsigned long ticks = 0;
    Delay(1, &ticks);  // a delay is time passing too

    std::string path = ::testing::TempDir() + "/scenario-audio.wav";
    ASSERT_TRUE(harness::SaveAudioWAV(path));
    std::ifstream in(path, std::ios::binary);
    std::string wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    const size_t dataBytes = 6 * 800 * 2 * 2;
    ASSERT_EQ(wav.size(), 44 + dataBytes);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    auto le16 = [&wav](size_t at) { return SInt16(UInt8(wav[at]) | (UInt8(wav[at + 1]) << 8)); };
    auto le32 = [&le16](size_t at) { return UInt32(UInt16(le16(at))) | (UInt32(UInt16(le16(at + 2))) << 16); };
    EXPECT_EQ(le16(22), 2);          // channels
    EXPECT_EQ(le32(24), 48000u);     // sample rate
    EXPECT_EQ(le16(34), 16);         // bits
    EXPECT_EQ(le32(40), dataBytes);  // data size
    auto sample = [&](size_t n) { return le16(44 + 2 * n); };
    const size_t perTick = 1600;
    EXPECT_EQ(sample(3 * perTick - 1), 0);           // the silence before
    EXPECT_EQ(sample(3 * perTick), 0);               // first pull, sample 0
    EXPECT_EQ(sample(3 * perTick + 8), 1);           // 8 % 7
    EXPECT_EQ(sample(4 * perTick + 1), 1001);        // second pull
    EXPECT_EQ(sample(5 * perTick + 1), 0);           // source gone: silence
    EXPECT_EQ(calls, 2);
}

}  // namespace
