// The program's entry: the application object does the rest.
#include "platform/ui/win_app.h"
#include "shell/dizado_app.h"

namespace {
CDizadoApp theApp;
}

int main(int argc, char** argv)
{
    return platform::RunApplication(argc, argv);
}
