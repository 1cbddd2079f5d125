// Asynchronous playing of wave data from memory. The program calls
// sndPlaySoundA; the output behind it is replaceable: the window layer installs
// the real audio output, tests install a recording sink. The data is copied
// and kept alive by the output while it plays.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/types.h"

constexpr UINT SND_SYNC = 0x0000;
constexpr UINT SND_ASYNC = 0x0001;
constexpr UINT SND_NODEFAULT = 0x0002;
constexpr UINT SND_MEMORY = 0x0004;

using WaveBytes = std::shared_ptr<const std::vector<unsigned char>>;

class ISoundOutput {
public:
    virtual ~ISoundOutput() = default;
    // Stops what plays and starts `wave` (a whole wave file image). An output
    // that cannot play it stays silent.
    virtual void Play(WaveBytes wave) = 0;
    virtual void Stop() = 0;
};

namespace platform {
// Installs the output (not owned); null restores the silent one. Answers the
// one it replaced.
ISoundOutput* SetSoundOutput(ISoundOutput* output);
}  // namespace platform

// With SND_MEMORY, `sound` is the locked address of a global or resource
// block holding a wave file image; the image is bounded by that block. A null
// sound stops. Answers FALSE when nothing could be started.
BOOL sndPlaySoundA(const char* sound, UINT flags);
// The same for bytes of a known size.
BOOL PlayWaveMemory(const void* wave, size_t size);
