// The picture and mask that bricks of one class draw one pose and orientation
// with. Bricks that show the same resources hold one look between them, so a
// model grows with its bricks by their own fields only, and a file can make
// the program hold no more pictures than it names classes and looks. A look
// is never written once made: a brick that changes takes another look.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/region.h"
#include "platform/core/global_memory.h"
#include "platform/core/resources.h"
#include "platform/core/types.h"

class CBrickLook {
public:
    // The look of picture `imageId` and mask `regionId` (0: none) of `classId`,
    // read from `module`, with one reference for the caller. A look already
    // held is handed out again only while its bytes are those the module holds
    // now, so that other services or a kit changed on disk never show an older
    // picture than a fresh reading would.
    static CBrickLook* Acquire(SHORT classId, HMODULE module, WORD imageId, WORD regionId);
    void AddRef() { ++m_nRefs; }
    // The last release frees the look.
    void Release();

    // Null when the picture is missing or damaged. Shared: nobody writes to it.
    HGLOBAL GetPicture() const { return m_hPicture; }
    // Empty when there is no mask or it is damaged.
    const CRegion& GetRegion() const { return m_region; }

    // How many looks are alive, for tests.
    static size_t LooksAlive();

    CBrickLook(const CBrickLook&) = delete;
    CBrickLook& operator=(const CBrickLook&) = delete;

private:
    explicit CBrickLook(uint64_t key) : m_key(key) {}
    ~CBrickLook();
    // Whether a fresh reading of the resources would give this look.
    bool Matches(HMODULE module, WORD imageId, WORD regionId) const;

    uint64_t m_key;
    size_t m_nRefs = 1;
    HGLOBAL m_hPicture = nullptr;
    CRegion m_region;
};
