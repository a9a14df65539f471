#include "components/addons/PlayWav.h"

#include "platform/app/MMSystem.h"
#include "platform/testing/AppTesting.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

TEST(PlayWavTest, PlaysWaveFilesOnlyAndReturnsAtOnce)
{
    TAppTest Fixture;
    const std::string Long = std::string(246, 'a') + ".wav"; // 250 characters
    struct {
        std::string Name;
        bool Plays;
    } const Cases[] = {
        {"chimes.wav", true},
        {"CHIMES.WAV", true},
        {"c:\\windows\\media\\The Microsoft Sound.wav", true},
        {"sounds.d/ding.Wav", true},
        {Long, true},
        {"b" + Long, false}, // 251 characters
        {"music.mp3", false},
        {"chimes.wav.txt", false},
        {"wav", false},
        {"chimes.", false},
        {"", false},
    };
    TPlayWav Player(nullptr);
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::size_t Before = Fixture.Recorder.Calls().size();
        Player.Play(C.Name);
        ASSERT_EQ(Fixture.Recorder.Calls().size(), Before + (C.Plays ? 1 : 0));
        if (!C.Plays)
            continue;
        const TSystemCall& Call = Fixture.Recorder.Calls().back();
        EXPECT_EQ(Call.Kind, TSystemCall::PlaySound);
        EXPECT_EQ(Call.File, C.Name);
        EXPECT_EQ(Call.Flags, SND_ASYNC);
    }
}

TEST(PlayWavTest, AFailingSoundCallIsIgnored)
{
    TAppTest Fixture;
    Fixture.Recorder.Result = 0; // no player installed
    TPlayWav Player(nullptr);
    EXPECT_NO_THROW(Player.Play("missing.wav"));
    EXPECT_EQ(Fixture.Recorder.Calls().size(), 1u);
}
