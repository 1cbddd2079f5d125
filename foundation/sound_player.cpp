#include "foundation/sound_player.h"

#include "platform/core/resources.h"
#include "platform/core/sound.h"

namespace {
BOOL g_soundOn = TRUE;
}

void SetSoundSwitch(BOOL on)
{
    g_soundOn = on;
}

BOOL GetSoundSwitch()
{
    return g_soundOn;
}

void PlaySoundEffect(const char* name)
{
    if (!g_soundOn)
        return;
    StopSoundEffect();
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(module, name, "SOUND");
    if (!resource)
        return;
    HGLOBAL data = LoadResource(module, resource);
    if (!data)
        return;
    if (const void* wave = LockResource(data))
        sndPlaySoundA(static_cast<const char*>(wave), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
    FreeResource(data);
}

void StopSoundEffect()
{
    sndPlaySoundA(nullptr, 0);
}
