#include "model/brick_class_library.h"

#include "platform/core/hooks.h"

namespace {

IBrickServices*& InstalledServices()
{
    static IBrickServices* services = nullptr;
    return services;
}

// Without an application, only the program's own class is known.
CBrickClassLibrary& StandIn()
{
    static CBrickClassLibrary standIn;
    return standIn;
}

}  // namespace

IBrickServices* GetBrickServices()
{
    IBrickServices* services = InstalledServices();
    return services ? services : &StandIn();
}

void SetBrickServices(IBrickServices* services)
{
    InstalledServices() = services;
}

CBrickClassLibrary::CBrickClassLibrary(CString programFolder)
    : m_strProgramFolder(std::move(programFolder)), m_pKits(std::make_unique<CKitList>())
{
}

CBrickClassLibrary::~CBrickClassLibrary()
{
    if (InstalledServices() == this)
        SetBrickServices(nullptr);
}

void CBrickClassLibrary::ScanKits()
{
    m_pKits = std::make_unique<CKitList>();
    if (m_strProgramFolder.IsEmpty())
        return;
    CKitScanner scanner(m_pKits.get());
    scanner.Fill(m_strProgramFolder + "\\kits\\*.bkt");
}

HMODULE CBrickClassLibrary::GetClassModule(SHORT classId)
{
    if (classId == kBuiltInClass)
        return AfxGetResourceHandle();
    const CBrickModData* entry = m_pKits ? m_pKits->FindBrickData(classId) : nullptr;
    return entry ? LoadLibraryA(entry->m_strLibraryPath) : nullptr;
}

void CBrickClassLibrary::ReleaseClassModule(HMODULE module)
{
    if (module && module != AfxGetResourceHandle())
        FreeLibrary(module);
}

BOOL CBrickClassLibrary::HasBrickClass(SHORT classId)
{
    HMODULE module = GetClassModule(classId);
    // A class no kit lists may still be one of the program's own.
    HMODULE searched = module ? module : AfxGetResourceHandle();
    BOOL found = FALSE;
    if (HRSRC resource = FindResourceA(searched, MAKEINTRESOURCE(classId), "BRICKCLASS")) {
        HGLOBAL data = LoadResource(searched, resource);
        found = CheckBrickClassRecord(LockResource(data), SizeofResource(searched, resource));
        FreeResource(data);
    }
    ReleaseClassModule(module);
    return found;
}

BOOL CBrickClassLibrary::IsHiddenClassKeyHeld()
{
    return GetAsyncKeyState(VK_UP) < 0;
}
