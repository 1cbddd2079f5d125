// The program's entry. Until the application's windows exist, it starts what
// the foundation offers: it finds its resources and greets with the sign-in
// sound, then ends.
#include <cstdio>

#include <QCoreApplication>
#include <QTimer>

#include "foundation/sound_player.h"
#include "platform/core/resources.h"
#include "platform/ui/audio_output.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::InstallAudioOutput();

    const char* const sounds[] = {"SIGNIN", "SEARCH", "IMAGE", "CLIK", "ERAS", "ROTA",
                                  "BUCK",   "NEWB",   "NUDG",  "BAD",  "UNDO"};
    int found = 0;
    for (const char* name : sounds)
        if (FindResourceA(AfxGetResourceHandle(), name, "SOUND"))
            ++found;
    std::printf("dizado: %d of %zu sounds found in the program's resources\n", found, std::size(sounds));

    PlaySoundEffect("SIGNIN");
    QTimer::singleShot(1200, &app, [] {
        StopSoundEffect();
        QCoreApplication::quit();
    });
    return app.exec();
}
