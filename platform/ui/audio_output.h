// The toolkit's audio output behind the program's sound calls: plays a wave
// image from memory asynchronously, a new sound cutting off the one before.
// Silent when there is no output device or the data cannot be played; the
// first sound that finds no device says why on standard error, once.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "platform/core/sound.h"

namespace platform {

struct WaveFormat {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed)
    size_t dataOffset = 0;  // of the samples, in the image
    size_t dataSize = 0;    // bytes of samples, whole frames only
};

// Reads a RIFF WAVE image of uncompressed PCM; nothing when it is anything
// else or its chunks do not fit the bytes given.
std::optional<WaveFormat> ParseWave(const unsigned char* bytes, size_t size);

// What a program with no sound server running prints (once).
inline constexpr const char* kNoSoundNotice =
    "dizado: no sound: no audio server is running. Sounds need a sound server such as PipeWire or "
    "PulseAudio; the program works without them, silently.";

class QtAudioOutput;

// Installs the toolkit's output as the program's sound output for the rest of
// the run. Needs the toolkit's application object to exist.
void InstallAudioOutput();

}  // namespace platform
