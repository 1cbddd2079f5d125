// The program's entry. Until the application's windows exist, it starts what
// there is: it finds its resources, loads the shared palette and the kits
// beside the program, greets with the sign-in sound, then ends.
#include <cstdio>
#include <iterator>

#include "foundation/sound_player.h"
#include "model/brick_class_library.h"
#include "platform/core/resources.h"
#include "platform/ui/event_loop.h"

namespace {

// The folder of the program file, without its trailing separator.
CString ProgramFolder()
{
    char path[260];
    if (!GetModuleFileNameA(nullptr, path, sizeof path))
        return CString(".");
    const CString full(path);
    return full.Left(full.ReverseFind('/'));
}

}  // namespace

int main(int argc, char** argv)
{
    CBrickClassLibrary classes{ProgramFolder()};
    return platform::RunEventLoop(argc, argv, [&] {
        const char* const sounds[] = {"SIGNIN", "SEARCH", "IMAGE", "CLIK", "ERAS", "ROTA",
                                      "BUCK",   "NEWB",   "NUDG",  "BAD",  "UNDO"};
        int found = 0;
        for (const char* name : sounds)
            if (FindResourceA(AfxGetResourceHandle(), name, "SOUND"))
                ++found;
        std::printf("dizado: %d of %zu sounds found in the program's resources\n", found, std::size(sounds));

        const BOOL palette = classes.LoadPalette();
        classes.ScanKits();
        SetBrickServices(&classes);
        std::printf("dizado: shared palette %s\n", palette ? "loaded" : "missing");
        const CKitList& kits = *classes.GetKitList();
        for (INT_PTR k = 0; k < kits.GetKitCount(); ++k)
            std::printf("dizado: kit \"%s\" with %ld brick classes\n", kits.GetKitAt(k)->m_strLabel.c_str(),
                        static_cast<long>(kits.GetKitAt(k)->GetClassCount()));
        PlaySoundEffect("SIGNIN");
    }, 1200);
}
