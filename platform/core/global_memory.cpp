#include "platform/core/global_memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

struct GlobalBlock {
    unsigned char* bytes = nullptr;
    size_t size = 0;
    UINT flags = 0;
    unsigned lockCount = 0;
    bool borrowed = false;  // bytes owned by someone else (a resource module)
};

namespace {

// Maps each live block's address back to its handle (GlobalHandle).
struct Registry {
    std::mutex mutex;
    std::unordered_map<const void*, GlobalBlock*> byAddress;
    size_t alive = 0;
    size_t bytes = 0;  // of the blocks alive, as asked for
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

// Every block gets at least one byte so that its address is unique.
unsigned char* Allocate(size_t bytes)
{
    return static_cast<unsigned char*>(std::malloc(bytes ? bytes : 1));
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    auto* block = new (std::nothrow) GlobalBlock;
    if (!block)
        return nullptr;
    block->bytes = Allocate(bytes);
    if (!block->bytes) {
        delete block;
        return nullptr;
    }
    if (flags & GMEM_ZEROINIT)
        std::memset(block->bytes, 0, bytes ? bytes : 1);
    block->size = bytes;
    block->flags = flags;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.byAddress[block->bytes] = block;
    ++registry.alive;
    registry.bytes += bytes;
    return block;
}

HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT flags)
{
    if (!block || block->borrowed)
        return nullptr;
    unsigned char* moved = Allocate(bytes);
    if (!moved)
        return nullptr;
    const size_t kept = bytes < block->size ? bytes : block->size;
    if (kept)
        std::memcpy(moved, block->bytes, kept);
    if (bytes > kept && (flags & GMEM_ZEROINIT))
        std::memset(moved + kept, 0, bytes - kept);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.byAddress.erase(block->bytes);
    std::free(block->bytes);
    block->bytes = moved;
    registry.bytes = registry.bytes - block->size + bytes;
    block->size = bytes;
    registry.byAddress[block->bytes] = block;
    return block;
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    if (!block || block->borrowed)
        return nullptr;
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        registry.byAddress.erase(block->bytes);
        --registry.alive;
        registry.bytes -= block->size;
    }
    std::free(block->bytes);
    delete block;
    return nullptr;
}

void* GlobalLock(HGLOBAL block)
{
    if (!block)
        return nullptr;
    ++block->lockCount;
    return block->bytes;
}

BOOL GlobalUnlock(HGLOBAL block)
{
    if (!block || block->lockCount == 0)
        return FALSE;
    --block->lockCount;
    return block->lockCount != 0;
}

size_t GlobalSize(HGLOBAL block)
{
    return block ? block->size : 0;
}

UINT GlobalFlags(HGLOBAL block)
{
    if (!block)
        return 0;
    return (block->flags & GMEM_DISCARDABLE) | (block->lockCount & 0xFF);
}

HGLOBAL GlobalHandle(const void* address)
{
    if (!address)
        return nullptr;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto found = registry.byAddress.find(address);
    return found == registry.byAddress.end() ? nullptr : found->second;
}

namespace platform {
HGLOBAL MakeBorrowedBlock(const void* bytes, size_t size)
{
    auto* block = new GlobalBlock;
    block->bytes = static_cast<unsigned char*>(const_cast<void*>(bytes));
    block->size = size;
    block->borrowed = true;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.byAddress.emplace(block->bytes, block);
    return block;
}

void DestroyBorrowedBlock(HGLOBAL block)
{
    if (!block || !block->borrowed)
        return;
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        auto found = registry.byAddress.find(block->bytes);
        if (found != registry.byAddress.end() && found->second == block)
            registry.byAddress.erase(found);
    }
    delete block;
}

size_t GlobalBlocksAlive()
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.alive;
}

size_t GlobalBytesAlive()
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.bytes;
}
}  // namespace platform
