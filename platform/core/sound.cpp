#include "platform/core/sound.h"

#include <cstring>

#include "platform/core/global_memory.h"

namespace {
class SilentOutput : public ISoundOutput {
public:
    void Play(WaveBytes) override {}
    void Stop() override {}
};

SilentOutput g_silent;
ISoundOutput* g_output = &g_silent;
}  // namespace

namespace platform {
ISoundOutput* SetSoundOutput(ISoundOutput* output)
{
    ISoundOutput* previous = g_output;
    g_output = output ? output : &g_silent;
    return previous == &g_silent ? nullptr : previous;
}
}  // namespace platform

BOOL PlayWaveMemory(const void* wave, size_t size)
{
    if (!wave || size == 0)
        return FALSE;
    const auto* bytes = static_cast<const unsigned char*>(wave);
    g_output->Play(std::make_shared<const std::vector<unsigned char>>(bytes, bytes + size));
    return TRUE;
}

BOOL sndPlaySoundA(const char* sound, UINT flags)
{
    if (!sound) {
        g_output->Stop();
        return TRUE;
    }
    g_output->Stop();
    // Only sounds from memory are played: the program has no sound files.
    if (!(flags & SND_MEMORY))
        return FALSE;
    HGLOBAL block = GlobalHandle(sound);
    if (!block)
        return FALSE;
    return PlayWaveMemory(sound, GlobalSize(block));
}
