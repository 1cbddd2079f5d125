#include "model/brick_class_library.h"

#include <cstring>
#include <vector>

#include "platform/core/hooks.h"
#include "platform/gdi/palette.h"
#include "resources/resource_ids.h"

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
    ReleaseHeldModules();
}

void CBrickClassLibrary::ReleaseHeldModules()
{
    for (auto& [classId, module] : m_heldModules)
        FreeLibrary(module);
    m_heldModules.clear();
}

void CBrickClassLibrary::ScanKits()
{
    ReleaseHeldModules();
    m_pKits = std::make_unique<CKitList>();
    if (m_strProgramFolder.IsEmpty())
        return;
    CKitScanner scanner(m_pKits.get());
    scanner.Fill(m_strProgramFolder + "\\kits\\*.bkt");
}

HMODULE CBrickClassLibrary::GetClassModule(SHORT classId)
{
    if (classId == IDC_BUILTIN_CLASS)
        return AfxGetResourceHandle();
    if (const auto held = m_heldModules.find(static_cast<WORD>(classId)); held != m_heldModules.end())
        return held->second;
    const CBrickModData* entry = m_pKits ? m_pKits->FindBrickData(classId) : nullptr;
    HMODULE module = entry ? LoadLibraryA(entry->m_strLibraryPath) : nullptr;
    // A library that cannot be opened now is tried again next time.
    if (module)
        m_heldModules.emplace(static_cast<WORD>(classId), module);
    return module;
}

void CBrickClassLibrary::ReleaseClassModule(HMODULE)
{
    // Every module handed out is the program's own or one held until the
    // kits change.
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

BOOL CBrickClassLibrary::LoadPalette()
{
    m_pPalette.reset();
    HINSTANCE program = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(program, MAKEINTRESOURCE(IDR_PALETTE), "MYPALETTE");
    if (!resource)
        return FALSE;
    // A RIFF palette file: 20 bytes of RIFF header, then a logical palette.
    constexpr size_t kRiffHeader = 20;
    constexpr size_t kMaxEntries = 256;
    const DWORD size = SizeofResource(program, resource);
    HGLOBAL data = LoadResource(program, resource);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(data));
    BOOL created = FALSE;
    if (bytes && size >= kRiffHeader + 4) {
        const WORD version = static_cast<WORD>(bytes[kRiffHeader] | (bytes[kRiffHeader + 1] << 8));
        size_t count = static_cast<WORD>(bytes[kRiffHeader + 2] | (bytes[kRiffHeader + 3] << 8));
        if (count > kMaxEntries)
            count = kMaxEntries;
        if (count > 0 && kRiffHeader + 4 + 4 * count <= size) {
            std::vector<unsigned char> logical(sizeof(LOGPALETTE) + kMaxEntries * sizeof(PALETTEENTRY));
            auto* palette = reinterpret_cast<LOGPALETTE*>(logical.data());
            palette->palVersion = version;
            palette->palNumEntries = static_cast<WORD>(count);
            std::memcpy(palette->palPalEntry, bytes + kRiffHeader + 4, 4 * count);
            auto made = std::make_unique<CPalette>();
            if (made->CreatePalette(palette)) {
                m_pPalette = std::move(made);
                created = TRUE;
            }
        }
    }
    FreeResource(data);
    return created;
}

BOOL CBrickClassLibrary::IsHiddenClassKeyHeld()
{
    return GetAsyncKeyState(VK_UP) < 0;
}
