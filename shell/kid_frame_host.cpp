#include "shell/kid_frame_host.h"

namespace {

class CEmptyKidFrameHost : public IKidFrameHost {
public:
    CPalette* GetPalette() override { return nullptr; }
    void FillBrickList(CListBox*) override {}
    BOOL GetPrintOn() override { return FALSE; }
    CKitList* GetKitList() override { return nullptr; }
};

CEmptyKidFrameHost g_emptyHost;
IKidFrameHost* g_host = &g_emptyHost;

}  // namespace

IKidFrameHost* GetKidFrameHost()
{
    return g_host;
}

void SetKidFrameHost(IKidFrameHost* host)
{
    g_host = host ? host : &g_emptyHost;
}
