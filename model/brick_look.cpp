#include "model/brick_look.h"

#include <cstring>
#include <unordered_map>

#include "model/bitmap_check.h"
#include "model/brick.h"

namespace {

// The looks that new bricks may share, by class, picture id and mask id. A
// look leaves it when its last brick lets go, or when a newer reading of the
// same ids took its place. Never destroyed, so that a brick released during
// the program's exit still finds it.
using LookIndex = std::unordered_map<uint64_t, CBrickLook*>;

LookIndex& Index()
{
    static auto* index = new LookIndex;
    return *index;
}

size_t g_nLooksAlive = 0;

uint64_t MakeKey(SHORT classId, WORD imageId, WORD regionId)
{
    return (static_cast<uint64_t>(static_cast<WORD>(classId)) << 32) | (static_cast<uint64_t>(imageId) << 16) |
           regionId;
}

// The bytes of a resource, valid while its module is open; null when missing.
const BYTE* FindBytes(HMODULE module, WORD id, const char* type, DWORD& size)
{
    size = 0;
    if (!module || id == 0)
        return nullptr;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(id), type);
    if (!resource)
        return nullptr;
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    size = SizeofResource(module, resource);
    return bytes;
}

}  // namespace

CBrickLook* CBrickLook::Acquire(SHORT classId, HMODULE module, WORD imageId, WORD regionId)
{
    const uint64_t key = MakeKey(classId, imageId, regionId);
    LookIndex& index = Index();
    const auto found = index.find(key);
    if (found != index.end() && found->second->Matches(module, imageId, regionId)) {
        found->second->AddRef();
        return found->second;
    }
    auto* look = new CBrickLook(key);
    ++g_nLooksAlive;
    if (regionId != 0)
        look->m_region.LoadResource(module, regionId);
    look->m_hPicture = CBrick::LoadImage(module, imageId);
    // A look that no longer matches stays with the bricks that hold it.
    index[key] = look;
    return look;
}

void CBrickLook::Release()
{
    if (--m_nRefs > 0)
        return;
    LookIndex& index = Index();
    const auto found = index.find(m_key);
    if (found != index.end() && found->second == this)
        index.erase(found);
    delete this;
}

CBrickLook::~CBrickLook()
{
    if (m_hPicture)
        GlobalFree(m_hPicture);
    --g_nLooksAlive;
}

size_t CBrickLook::LooksAlive()
{
    return g_nLooksAlive;
}

bool CBrickLook::Matches(HMODULE module, WORD imageId, WORD regionId) const
{
    DWORD size = 0;
    const BYTE* picture = FindBytes(module, imageId, "BRICKIMAGE", size);
    if (m_hPicture) {
        if (!picture || size != GlobalSize(m_hPicture))
            return false;
        const bool same = std::memcmp(GlobalLock(m_hPicture), picture, size) == 0;
        GlobalUnlock(m_hPicture);
        if (!same)
            return false;
    } else if (picture && CheckPackedBitmap(picture, size, true, nullptr)) {
        return false;
    }

    if (regionId == 0)
        return true;
    const BYTE* mask = FindBytes(module, regionId, "REGION", size);
    if (m_region.IsEmpty()) {
        // It was missing or damaged; a mask that now loads is a change.
        if (!mask)
            return true;
        CRegion fresh;
        fresh.LoadData(mask, size);
        return fresh.IsEmpty();
    }
    // A mask is the block its size word gives, copied from the resource's start.
    const DWORD used = m_region.GetBlockSize();
    return mask && size >= used && std::memcmp(mask, m_region.GetData(), used) == 0;
}
