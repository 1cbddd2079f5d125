#include "tests/shell/app_fixture.h"

namespace shelltest {

namespace {
// Made before main, as the program's is.
CDizadoApp theApp;
}  // namespace

CDizadoApp& App()
{
    return theApp;
}

}  // namespace shelltest
