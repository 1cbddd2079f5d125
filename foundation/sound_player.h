// Short sounds for the program's actions: wave data kept as "SOUND" resources
// of the program, named by short words, played asynchronously. One switch
// (the signed-in user's "SoundOn" setting) silences them all.
#pragma once

#include "platform/core/types.h"

// Stops what plays and starts the named sound; a missing sound plays nothing
// and raises nothing. Does nothing at all while the switch is off.
void PlaySoundEffect(const char* name);
// Stops the sound being played, switch or no switch.
void StopSoundEffect();

void SetSoundSwitch(BOOL on);
BOOL GetSoundSwitch();
