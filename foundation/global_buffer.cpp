#include "foundation/global_buffer.h"

#include <cstring>

#include "platform/core/global_memory.h"
#include "platform/core/hooks.h"

CGlobalBuffer::CGlobalBuffer()
{
    m_pBase = static_cast<BYTE*>(GlobalLock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kCapacity)));
    m_pCursor = m_pBase;
}

CGlobalBuffer::~CGlobalBuffer()
{
    HGLOBAL block = GlobalHandle(m_pBase);
    GlobalUnlock(block);
    GlobalFree(block);
}

void CGlobalBuffer::Write(const void* bytes, DWORD n)
{
    if (n > GetRemaining()) {
        AfxMessageBox("overflow");
        return;
    }
    if (n)
        std::memcpy(m_pCursor, bytes, n);
    m_pCursor += n;
}

void CGlobalBuffer::WriteShort(SHORT value)
{
    const auto bits = static_cast<WORD>(value);
    const BYTE bytes[2] = {static_cast<BYTE>(bits & 0xFF), static_cast<BYTE>(bits >> 8)};
    Write(bytes, 2);
}

void CGlobalBuffer::Read(void* buffer, DWORD n)
{
    if (n > GetRemaining()) {
        std::memset(buffer, 0, n);
        return;
    }
    if (n)
        std::memcpy(buffer, m_pCursor, n);
    m_pCursor += n;
}

DWORD CGlobalBuffer::GetPosition() const
{
    return static_cast<DWORD>(m_pCursor - m_pBase);
}

void CGlobalBuffer::Seek(LONG offset, int /*from*/)
{
    if (offset < 0)
        offset = 0;
    if (static_cast<DWORD>(offset) > kCapacity)
        offset = static_cast<LONG>(kCapacity);
    m_pCursor = m_pBase + offset;
}

SHORT CGlobalBuffer::PeekLastShort() const
{
    if (GetPosition() < 2)
        return 0;
    return static_cast<SHORT>(static_cast<WORD>(m_pCursor[-2] | (m_pCursor[-1] << 8)));
}
