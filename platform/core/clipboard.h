// The clipboard: data in global memory blocks under numbered formats. The
// program's own formats are registered by name. The calls follow the original
// protocol: one opener at a time, and reading or writing only while open.
// What holds the data is replaceable: an in-memory clipboard by default and
// in tests, the toolkit's clipboard in the running program.
#pragma once

#include <map>
#include <string>

#include "platform/core/global_memory.h"
#include "platform/core/types.h"

namespace platform {

// Where the clipboard's data lives. The open protocol is kept by the global
// calls; an implementation only stores.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // The clipboard is about to be used (Open) or has been (Close: a good
    // moment to publish what was set). Open may refuse.
    virtual bool Open(void* owner) = 0;
    virtual void Close() = 0;
    // Frees every block held.
    virtual void Empty() = 0;
    virtual bool IsFormatAvailable(UINT format) = 0;
    // Takes the block when it answers true; replaces and frees an older block
    // of the format. On false the caller keeps the block.
    virtual bool SetData(UINT format, HGLOBAL data) = 0;
    // The clipboard's own block, or null: valid until the clipboard is
    // emptied or closed.
    virtual HGLOBAL GetData(UINT format) = 0;
};

class MemoryClipboard : public IClipboard {
public:
    MemoryClipboard() = default;
    ~MemoryClipboard() override;
    MemoryClipboard(const MemoryClipboard&) = delete;
    MemoryClipboard& operator=(const MemoryClipboard&) = delete;

    bool Open(void*) override { return true; }
    void Close() override {}
    void Empty() override;
    bool IsFormatAvailable(UINT format) override;
    bool SetData(UINT format, HGLOBAL data) override;
    HGLOBAL GetData(UINT format) override;

private:
    std::map<UINT, HGLOBAL> m_blocks;
};

// Installs a clipboard; null goes back to the built-in memory clipboard.
// Returns the one replaced (null when that was the built-in one). A clipboard
// left open is closed first.
IClipboard* SetClipboard(IClipboard* clipboard);

// The name a format was registered with; empty for others.
std::string ClipboardFormatName(UINT format);

}  // namespace platform

// Registered formats take ids from 0xC000 up; the same name (without regard
// to case) answers the same id. 0 for an empty name or when ids run out.
UINT RegisterClipboardFormatA(const char* name);
inline UINT RegisterClipboardFormat(const char* name) { return RegisterClipboardFormatA(name); }
// Copies the registered name (cut to fit); answers its length, 0 when unknown.
int GetClipboardFormatNameA(UINT format, char* name, int maxCount);

// FALSE while another opener has the clipboard open.
BOOL OpenClipboard(void* owner);
BOOL CloseClipboard();
// Frees everything on the clipboard; FALSE when it is not open.
BOOL EmptyClipboard();
// Works without opening the clipboard, as on the original.
BOOL IsClipboardFormatAvailable(UINT format);
// The clipboard owns the block once this answers it; on null (clipboard not
// open, no block, no format) the caller still owns it.
HGLOBAL SetClipboardData(UINT format, HGLOBAL data);
// The clipboard's block: not to be freed, valid until the clipboard is
// closed or emptied. Null when it is not open or holds no such format.
HGLOBAL GetClipboardData(UINT format);
