// What model code needs of the application: the modules that hold brick
// classes, the kit list, the shared palette and the key test of the kit scan.
// The application implements it; model tests install a small one of their own.
#pragma once

#include "platform/core/resources.h"
#include "platform/core/types.h"

class CKitList;
class CPalette;

class IBrickServices {
public:
    virtual ~IBrickServices() = default;

    // The module holding a class's resources: the program's own for the
    // built-in class, else the kit library that first listed the class.
    // Null when no kit lists it or it cannot load.
    virtual HMODULE GetClassModule(SHORT classId) = 0;
    // Gives back a module from GetClassModule; the services decide whether
    // it stays open (the program's own always does).
    virtual void ReleaseClassModule(HMODULE module) = 0;
    // TRUE when the class's module holds its "BRICKCLASS" resource.
    virtual BOOL HasBrickClass(SHORT classId) = 0;
    // Null until the kits were scanned.
    virtual CKitList* GetKitList() = 0;
    // Null when the palette resource was missing.
    virtual CPalette* GetPalette() = 0;
    // Whether the key that reveals hidden classes is held during the kit scan.
    virtual BOOL IsHiddenClassKeyHeld() = 0;
};

// Never null: without an application, a stand-in that knows only the
// built-in class in the program's own resources.
IBrickServices* GetBrickServices();
// Installs the services (not owned); null restores the stand-in.
void SetBrickServices(IBrickServices* services);

// Holds a class's module open for one reading and releases it on every exit;
// inside a CClassReading, the reading holds it instead.
class CClassModule {
public:
    explicit CClassModule(SHORT classId);
    ~CClassModule();
    CClassModule(const CClassModule&) = delete;
    CClassModule& operator=(const CClassModule&) = delete;

    HMODULE Get() const { return m_hModule; }
    explicit operator bool() const { return m_hModule != nullptr; }

private:
    HMODULE m_hModule = nullptr;
    bool m_bHeld = false;
};
