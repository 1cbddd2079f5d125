#include "tests/ui/ui_fixture.h"

namespace uitest {

namespace {
// Made before main, as the program's is: the first thread object made is the
// thread's.
TestApp theApp;
}  // namespace

TestApp& App()
{
    return theApp;
}

}  // namespace uitest
