#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/sound_player.h"
#include "platform/core/sound.h"

namespace {

// Stands in for the audio device: records what would be heard.
class RecordingSink : public ISoundOutput {
public:
    void Play(WaveBytes wave) override
    {
        playing = wave;
        events.push_back("play " + std::to_string(wave->size()));
    }
    void Stop() override
    {
        playing.reset();
        events.push_back("stop");
    }
    WaveBytes playing;
    std::vector<std::string> events;
};

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = platform::SetSoundOutput(&sink);
        SetSoundSwitch(TRUE);
    }
    void TearDown() override
    {
        SetSoundSwitch(TRUE);
        platform::SetSoundOutput(previous);
    }
    RecordingSink sink;
    ISoundOutput* previous = nullptr;
};

TEST_F(SoundPlayerTest, PlaysTheNamedResourceWithoutRegardToCase)
{
    PlaySoundEffect("clik");
    ASSERT_TRUE(sink.playing);
    ASSERT_GE(sink.playing->size(), 44u);
    EXPECT_EQ(std::string(sink.playing->begin(), sink.playing->begin() + 4), "RIFF");
    const WaveBytes first = sink.playing;

    // A second sound cuts the first off at once.
    PlaySoundEffect("NEWB");
    ASSERT_TRUE(sink.playing);
    EXPECT_NE(*sink.playing, *first);
    ASSERT_GE(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[sink.events.size() - 2], "stop");
}

TEST_F(SoundPlayerTest, EverySoundOfTheProgramIsThereAndDistinct)
{
    std::vector<std::vector<unsigned char>> seen;
    for (const char* name : {"SIGNIN", "SEARCH", "IMAGE", "clik", "eras", "rota", "buck", "newb", "nudg", "BAD", "UNDO"}) {
        PlaySoundEffect(name);
        ASSERT_TRUE(sink.playing) << name;
        for (const auto& other : seen)
            EXPECT_NE(*sink.playing, other) << name;
        seen.push_back(*sink.playing);
    }
}

TEST_F(SoundPlayerTest, MissingSoundStopsAndPlaysNothing)
{
    PlaySoundEffect("rota");
    ASSERT_TRUE(sink.playing);
    PlaySoundEffect("no such sound");
    EXPECT_FALSE(sink.playing);
}

TEST_F(SoundPlayerTest, SwitchOffSilencesButStopStillStops)
{
    PlaySoundEffect("eras");
    ASSERT_TRUE(sink.playing);
    SetSoundSwitch(FALSE);
    sink.events.clear();
    PlaySoundEffect("buck");
    EXPECT_TRUE(sink.events.empty());  // nothing at all happens
    EXPECT_TRUE(sink.playing);         // the earlier sound was not touched
    StopSoundEffect();
    EXPECT_FALSE(sink.playing);
}

}  // namespace
