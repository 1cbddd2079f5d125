#include "platform/ui/event_loop.h"

#include <QApplication>
#include <QTimer>

#include "platform/ui/app.h"
#include "platform/ui/audio_output.h"

namespace platform {

int RunEventLoop(int& argc, char** argv, const std::function<void()>& start, int endAfterMilliseconds)
{
    // The same toolkit object as the windows use, so that windows may come.
    StartToolkit(argc, argv);
    InstallAudioOutput();
    QTimer::singleShot(0, qApp, [&] {
        start();
        QTimer::singleShot(endAfterMilliseconds, qApp, [] { QCoreApplication::quit(); });
    });
    return QApplication::exec();
}

}  // namespace platform
