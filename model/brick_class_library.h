// The brick classes a running program knows: the built-in class in its own
// resources and the classes of the kit libraries in its kits folder. The
// application owns one; tests make their own over a folder of their choice.
#pragma once

#include <memory>
#include <unordered_map>

#include "model/brick_services.h"
#include "model/kit_list.h"
#include "platform/core/cstring.h"

class CBrickClassLibrary : public IBrickServices {
public:
    // `programFolder` holds kits/; empty means no kits at all.
    explicit CBrickClassLibrary(CString programFolder = CString());
    ~CBrickClassLibrary() override;
    CBrickClassLibrary(const CBrickClassLibrary&) = delete;
    CBrickClassLibrary& operator=(const CBrickClassLibrary&) = delete;

    // Loads every kit library of the kits folder into a fresh kit list, and
    // lets go of the class modules resolved from the kits before.
    void ScanKits();
    const CString& GetProgramFolder() const { return m_strProgramFolder; }
    // Creates the shared palette from the program's "MYPALETTE" resource;
    // FALSE, with no palette, when the resource is missing or damaged.
    BOOL LoadPalette();

    // A kit class's module is resolved and opened on first use and then held
    // until the kits are scanned again: making a brick must not look up and
    // open its library each time.
    HMODULE GetClassModule(SHORT classId) override;
    void ReleaseClassModule(HMODULE module) override;
    // The kit modules held for the classes resolved so far, one reference each.
    size_t GetHeldModuleCount() const { return m_heldModules.size(); }
    BOOL HasBrickClass(SHORT classId) override;
    CKitList* GetKitList() override { return m_pKits.get(); }
    CPalette* GetPalette() override { return m_pPalette.get(); }
    // The Up arrow held down at that moment.
    BOOL IsHiddenClassKeyHeld() override;


private:
    void ReleaseHeldModules();

    CString m_strProgramFolder;
    std::unordered_map<WORD, HMODULE> m_heldModules;  // by class, one reference each
    std::unique_ptr<CKitList> m_pKits;
    std::unique_ptr<CPalette> m_pPalette;
};
