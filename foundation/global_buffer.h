// A fixed scratch block in which region operations build their result word by
// word before copying it into a block of exactly the right size.
#pragma once

#include "platform/core/object.h"
#include "platform/core/types.h"

class CGlobalBuffer : public CObject {
public:
    static constexpr DWORD kCapacity = 50000;

    CGlobalBuffer();
    ~CGlobalBuffer() override;

    CGlobalBuffer(const CGlobalBuffer&) = delete;
    CGlobalBuffer& operator=(const CGlobalBuffer&) = delete;

    // A write that would pass the end writes nothing, keeps the cursor and
    // shows "overflow"; the caller carries on with what is there.
    void Write(const void* bytes, DWORD n);
    void WriteShort(SHORT value);  // little-endian

    // A read that would pass the end copies nothing, zeroes `buffer` and keeps
    // the cursor.
    void Read(void* buffer, DWORD n);

    DWORD GetPosition() const;
    // The cursor is kept inside the block: offsets beyond either end stop at it.
    void Seek(LONG offset, int from = 0);
    // 0 when nothing lies before the cursor.
    SHORT PeekLastShort() const;

    // Room left after the cursor, for callers that must not overflow.
    DWORD GetRemaining() const { return kCapacity - GetPosition(); }

private:
    BYTE* m_pBase;
    BYTE* m_pCursor;
};
