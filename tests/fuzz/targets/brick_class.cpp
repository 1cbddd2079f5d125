// The brick class records of a kit: class, orientation, picture and mask as a
// brick reads them for every change, and as it draws. The input is three
// bytes of choices (pose, orientation, colour) and a compiled resource image
// that serves every class.
#include <vector>

#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/model/model_test_kit.h"

namespace {

constexpr size_t kMostClasses = 16;

std::vector<SHORT> ClassIds(HMODULE module)
{
    std::vector<SHORT> ids;
    auto add = [&](long id) {
        if (id > 0 && id <= 32767 && ids.size() < kMostClasses &&
            FindResourceA(module, MAKEINTRESOURCE(static_cast<WORD>(id)), "BRICKCLASS"))
            ids.push_back(static_cast<SHORT>(id));
    };
    char text[16];
    for (UINT n = 100; n < 116; ++n)
        if (LoadStringA(module, n, text, sizeof text) > 0)
            add(std::atol(text));
    for (long id : {1030L, 1234L, 2000L, 2001L, 2002L, 2003L, 2004L, 2005L, 2006L, 2007L, 2008L})
        add(id);
    return ids;
}

void Exercise(CBrickGroup& group, SHORT classId, SHORT otherClass, uint8_t pose, uint8_t orientation, uint8_t colour)
{
    CBrick* brick = CBrick::Make(&group, CPoint3D(2, 1, 0), classId, colour, static_cast<SHORT>(pose % 8),
                                 static_cast<SHORT>(orientation % 8));
    if (!brick)
        return;
    CBox3D box;
    brick->ReadClassBox(box);
    WORD imageId = 0;
    WORD regionId = 0;
    brick->ReadPictureRecord(imageId, regionId);
    brick->IsColorAllowed(colour);
    brick->ReadClassPoseCount();

    platform::Surface surface(40, 40, RGB(1, 2, 3));
    CDC dc(&surface);
    POINT points[6] = {{16, 2}, {2, 10}, {2, 26}, {16, 36}, {32, 10}, {32, 26}};
    const CRegion own = brick->GetScreenRegion(points);
    brick->Draw(&dc, own, RECT{0, 0, 40, 40});
    CRegion all;
    all.SetRect(-8, -8, 48, 48);
    brick->Draw(&dc, all, RECT{-3, 5, 37, 45});

    brick->ChangePose(static_cast<SHORT>(pose + 1));
    brick->NextOrientation();
    brick->PrevOrientation();
    brick->ChangeColor(colour + 1);
    brick->ChangePosition(CPoint3D(-1, 3, 2));
    brick->Rotate(CPoint3D(0, 0, 0), CPoint3D(1, 1, 0), TRUE);
    brick->Draw(&dc, all, RECT{0, 0, 40, 40});
    if (CBrick* copy = brick->Duplicate(CPoint3D(1, 0, 0)))
        copy->ChangeType(otherClass);
}

}  // namespace

int FuzzBrickClass(const uint8_t* data, size_t size)
{
    fuzz::QuietHooks quiet;
    fuzz::InputReader input(data, size);
    const uint8_t pose = input.Byte();
    const uint8_t orientation = input.Byte();
    const uint8_t colour = input.Byte();
    HMODULE module = platform::OpenResourceModuleFromMemory(input.Rest());
    if (!module)
        return 0;
    {
        testkit::TestBrickServices services(module);
        SetBrickServices(&services);
        const std::vector<SHORT> ids = ClassIds(module);
        CBrickGroup group;
        for (size_t i = 0; i < ids.size(); ++i)
            Exercise(group, ids[i], ids[(i + 1) % ids.size()], pose, orientation, colour);
        group.DeleteContents();
        SetBrickServices(nullptr);
        if (services.opened != services.released)
            fuzz::Fail("a class module was not released");
    }
    FreeLibrary(module);
    return 0;
}

static void SeedBrickClass(fuzz::Seeds& seeds)
{
    auto with = [](fuzz::Bytes choices, const fuzz::Bytes& image) {
        if (image.empty())
            return fuzz::Bytes();
        choices.insert(choices.end(), image.begin(), image.end());
        return choices;
    };
    seeds.Add("model-test-kit", with({1, 2, 3}, testkit::BuildKit()));
    seeds.Add("testkit", with({0, 1, 4}, fuzz::TestData("testkit.res")));
    seeds.Add("program", with({0, 3, 11}, fuzz::ProgramResourceImage()));
}

DIZADO_FUZZ_TARGET(brick_class, FuzzBrickClass, SeedBrickClass)
