// The WAVE reader of the audio output, on the bytes of a "SOUND" resource.
#include "platform/ui/audio_output.h"
#include "tests/fuzz/fuzz_support.h"

int FuzzWave(const uint8_t* data, size_t size)
{
    const auto format = platform::ParseWave(data, size);
    if (!format)
        return 0;
    // The samples the output would play must lie inside the bytes.
    if (format->dataOffset > size || format->dataSize > size - format->dataOffset)
        fuzz::Fail("wave samples outside the image");
    fuzz::Touch(data + format->dataOffset, format->dataSize);
    return 0;
}

static void SeedWave(fuzz::Seeds& seeds)
{
    for (const char* name : {"CLIK", "BAD", "SIGNIN"})
        seeds.Add(name, fuzz::ProgramResource("SOUND", name));
}

DIZADO_FUZZ_TARGET(wave, FuzzWave, SeedWave)
