#include "shell/kid_frame_host.h"

#include "shell/dizado_app.h"

namespace {

// Until another host is installed, the application object is the host.
class CApplicationHost : public IKidFrameHost {
public:
    CPalette* GetPalette() override
    {
        CDizadoApp* app = GetDizadoApp();
        return app ? app->GetPalette() : nullptr;
    }
    void FillBrickList(CListBox* listBox) override
    {
        if (CDizadoApp* app = GetDizadoApp())
            app->FillBrickList(listBox);
    }
    BOOL GetPrintOn() override
    {
        CDizadoApp* app = GetDizadoApp();
        return app ? app->GetPrintOn() : FALSE;
    }
    CKitList* GetKitList() override
    {
        CDizadoApp* app = GetDizadoApp();
        return app ? app->GetKitList() : nullptr;
    }
};

CApplicationHost g_applicationHost;
IKidFrameHost* g_host = &g_applicationHost;

}  // namespace

IKidFrameHost* GetKidFrameHost()
{
    return g_host;
}

void SetKidFrameHost(IKidFrameHost* host)
{
    g_host = host ? host : &g_applicationHost;
}
