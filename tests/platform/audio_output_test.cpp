#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/ui/audio_output.h"

namespace {

std::vector<unsigned char> Wave(int rate, int channels, int bits, size_t samples, int pcm = 1)
{
    std::vector<unsigned char> w;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        w.push_back(static_cast<unsigned char>(v));
        w.push_back(static_cast<unsigned char>(v >> 8));
    };
    const uint32_t dataSize = static_cast<uint32_t>(samples * channels * bits / 8);
    w.insert(w.end(), {'R', 'I', 'F', 'F'});
    put32(36 + dataSize);
    w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(16);
    put16(static_cast<uint16_t>(pcm));
    put16(static_cast<uint16_t>(channels));
    put32(static_cast<uint32_t>(rate));
    put32(static_cast<uint32_t>(rate * channels * bits / 8));
    put16(static_cast<uint16_t>(channels * bits / 8));
    put16(static_cast<uint16_t>(bits));
    w.insert(w.end(), {'d', 'a', 't', 'a'});
    put32(dataSize);
    w.resize(w.size() + dataSize, 0);
    return w;
}

TEST(ParseWave, ReadsPcmAndRefusesAnythingElse)
{
    const auto good = Wave(22050, 1, 16, 100);
    const auto format = platform::ParseWave(good.data(), good.size());
    ASSERT_TRUE(format);
    EXPECT_EQ(format->sampleRate, 22050);
    EXPECT_EQ(format->channels, 1);
    EXPECT_EQ(format->bitsPerSample, 16);
    EXPECT_EQ(format->dataOffset, 44u);
    EXPECT_EQ(format->dataSize, 200u);

    auto cut = good;
    cut.resize(100);  // data chunk claims more than is there
    EXPECT_FALSE(platform::ParseWave(cut.data(), cut.size()));
    const auto compressed = Wave(22050, 1, 16, 10, 2);
    EXPECT_FALSE(platform::ParseWave(compressed.data(), compressed.size()));
    const auto odd = Wave(22050, 1, 12, 10);
    EXPECT_FALSE(platform::ParseWave(odd.data(), odd.size()));
    auto notWave = good;
    std::memcpy(notWave.data() + 8, "AVI ", 4);
    EXPECT_FALSE(platform::ParseWave(notWave.data(), notWave.size()));
    EXPECT_FALSE(platform::ParseWave(good.data(), 11));
    auto hugeChunk = good;
    hugeChunk[16] = 0xFF;  // fmt length near 4 GiB
    hugeChunk[17] = 0xFF;
    hugeChunk[18] = 0xFF;
    hugeChunk[19] = 0xFF;
    EXPECT_FALSE(platform::ParseWave(hugeChunk.data(), hugeChunk.size()));
}

// A RIFF size below 4 ends the image before the "WAVE" tag: nothing after it
// counts, however good the chunks that follow.
TEST(ParseWave, RiffSizeBelowFourHoldsNoChunks)
{
    for (unsigned char riffSize : {0, 1, 3}) {
        auto wave = Wave(22050, 1, 16, 100);
        wave[4] = riffSize;
        wave[5] = wave[6] = wave[7] = 0;
        EXPECT_FALSE(platform::ParseWave(wave.data(), wave.size())) << int{riffSize};
        EXPECT_FALSE(platform::ParseWave(wave.data(), 12)) << int{riffSize};
    }
}

}  // namespace
