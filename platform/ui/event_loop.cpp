#include "platform/ui/event_loop.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/ui/audio_output.h"

namespace platform {

int RunEventLoop(int& argc, char** argv, const std::function<void()>& start, int endAfterMilliseconds)
{
    QCoreApplication app(argc, argv);
    InstallAudioOutput();
    QTimer::singleShot(0, &app, [&] {
        start();
        QTimer::singleShot(endAfterMilliseconds, &app, [] { QCoreApplication::quit(); });
    });
    return app.exec();
}

}  // namespace platform
