#include "model/class_reading.h"

#include "model/brick_look.h"
#include "model/brick_services.h"

namespace {

CClassReading* g_pCurrent = nullptr;

}  // namespace

CClassReading::CClassReading() : m_bOutermost(g_pCurrent == nullptr)
{
    if (m_bOutermost)
        g_pCurrent = this;
}

CClassReading::~CClassReading()
{
    if (!m_bOutermost)
        return;
    g_pCurrent = nullptr;
    for (auto& [key, entry] : m_looks)
        if (entry.look)
            entry.look->Release();
    IBrickServices* services = GetBrickServices();
    for (auto& [classId, module] : m_modules)
        if (module)
            services->ReleaseClassModule(module);
}

CClassReading* CClassReading::Current()
{
    return g_pCurrent;
}

HMODULE CClassReading::HoldModule(SHORT classId)
{
    const auto [found, added] = m_modules.try_emplace(static_cast<WORD>(classId), nullptr);
    if (added)
        found->second = GetBrickServices()->GetClassModule(classId);
    return found->second;
}

bool CClassReading::Holds(SHORT classId, HMODULE module) const
{
    const auto found = m_modules.find(static_cast<WORD>(classId));
    return module && found != m_modules.end() && found->second == module;
}

BOOL CClassReading::HasBrickClass(SHORT classId)
{
    const auto [found, added] = m_known.try_emplace(static_cast<WORD>(classId), FALSE);
    if (added)
        found->second = GetBrickServices()->HasBrickClass(classId);
    return found->second;
}

CClassReading::ClassEntry* CClassReading::FindClass(SHORT classId)
{
    const auto found = m_classes.find(static_cast<WORD>(classId));
    return found == m_classes.end() ? nullptr : &found->second;
}

CClassReading::LookEntry* CClassReading::FindLook(SHORT classId, SHORT pose, SHORT orientation)
{
    const auto found = m_looks.find(LookKey(classId, pose, orientation));
    return found == m_looks.end() ? nullptr : &found->second;
}

uint64_t CClassReading::LookKey(SHORT classId, SHORT pose, SHORT orientation)
{
    return (static_cast<uint64_t>(static_cast<WORD>(classId)) << 32) |
           (static_cast<uint64_t>(static_cast<WORD>(pose)) << 16) | static_cast<WORD>(orientation);
}

CClassModule::CClassModule(SHORT classId)
{
    if (CClassReading* reading = CClassReading::Current()) {
        m_hModule = reading->HoldModule(classId);
        m_bHeld = true;
    } else {
        m_hModule = GetBrickServices()->GetClassModule(classId);
    }
}

CClassModule::~CClassModule()
{
    if (m_hModule && !m_bHeld)
        GetBrickServices()->ReleaseClassModule(m_hModule);
}
