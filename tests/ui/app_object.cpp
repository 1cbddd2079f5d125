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

// Under the leak checker: the font configuration library keeps caches for the
// life of the process once the toolkit has drawn text; they are not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
