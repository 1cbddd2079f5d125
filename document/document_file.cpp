// The .brk file: the magic, the settings block, then the root group record.
// Every number in it is big-endian.
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "foundation/chunk_block.h"
#include "model/brick_record.h"
#include "model/class_reading.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"

namespace {

constexpr char kMagic[8] = {'V', 'O', 'S', 'T', 'B', 'R', 'K', '#'};
constexpr LONG kFormatVersion = 1;
constexpr LONG kFormatRevision = 0;

// The first two bytes of a 32-bit half of "bsiz".
SHORT GetBig16(const BYTE* p)
{
    return static_cast<SHORT>((p[0] << 8) | p[1]);
}

}  // namespace

void CDizadoDoc::Serialize(CArchive& ar)
{
    CWaitCursorScope wait;
    if (ar.IsStoring()) {
        ar.Write(kMagic, sizeof kMagic);

        CChunkBlock block;
        brick_record::PutLong(block, "vers", kFormatVersion);
        brick_record::PutLong(block, "rev ", kFormatRevision);
        brick_record::PutLong(block, "mvew", m_bMultiView);
        brick_record::PutLong(block, "bpv?", m_bBaseplateShown);
        brick_record::PutLong(block, "btil", m_bBackgroundTiled);
        // Each 8-bit component as a 16-bit value with both bytes equal.
        const BYTE colour[6] = {GetRValue(m_backgroundColor), GetRValue(m_backgroundColor),
                                GetGValue(m_backgroundColor), GetGValue(m_backgroundColor),
                                GetBValue(m_backgroundColor), GetBValue(m_backgroundColor)};
        block.Put("brgb", colour, sizeof colour);
        const auto x = static_cast<WORD>(m_baseplateSize.cx);
        const auto y = static_cast<WORD>(m_baseplateSize.cy);
        const BYTE size[8] = {HIBYTE(x), LOBYTE(x), 0, 0, HIBYTE(y), LOBYTE(y), 0, 0};
        block.Put("bsiz", size, sizeof size);
        // The whole path and its zero, however long: a cut path would name
        // some other picture.
        const char* path = m_strBackgroundPath.c_str();
        block.Put("wpth", path, static_cast<DWORD>(std::strlen(path) + 1));

        brick_record::WriteBlock(ar, block);

        m_brickList.WriteContents(ar);
        return;
    }

    char magic[sizeof kMagic];
    const UINT got = ar.Read(magic, sizeof magic);
    if (std::memcmp(magic, kMagic, got) == 0 && got < sizeof kMagic)
        AfxThrowArchiveException(CArchiveException::endOfFile);  // a model cut short
    if (got < sizeof kMagic || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        m_bNotAModel = TRUE;
        return;
    }
    // The rest is parsed from memory: asking a disk file for its length at
    // every record costs more than the parsing itself. A file in memory is
    // read where it is, and left at its end as a copy would be.
    CFile* file = ar.GetFile();
    std::optional<CMemFile> memory;
    std::optional<CArchive> copy;
    CArchive* body = &ar;
    if (!file || !file->IsKindOf(RUNTIME_CLASS(CMemFile))) {
        const DWORD left = brick_record::BytesLeft(ar);
        std::vector<unsigned char> rest(left);
        if (left > 0)
            ar.ReadExact(rest.data(), left);
        memory.emplace(std::move(rest));
        body = &copy.emplace(&*memory, CArchive::load);
    }

    ReadSettings(*brick_record::ReadBlock(*body));
    {
        CPaneHold hold(&m_brickList);
        // Each class's module is opened once for the whole model, not per brick.
        CClassReading reading;
        if (m_brickList.ReadContents(*body))
            m_bFlattened = TRUE;
        m_bMissingClasses = CClassReading::Current()->HasMissingClasses() ? TRUE : FALSE;
    }
    if (body == &ar)
        file->SeekToEnd();
}

void CDizadoDoc::ReadSettings(const CChunkBlock& block)
{
    brick_record::GetLong(block, "vers");
    brick_record::GetLong(block, "rev ");
    m_bMultiView = brick_record::GetLong(block, "mvew");
    m_bBaseplateShown = brick_record::GetLong(block, "bpv?");
    ChangeTiled(brick_record::GetLong(block, "btil"));

    BYTE colour[6] = {};
    block.Get("brgb", colour, sizeof colour);
    const COLORREF rgb = RGB(colour[1], colour[3], colour[5]);
    ChangeBackgroundColor(&rgb);

    if (block.HasChunk("bsiz")) {
        BYTE size[8] = {};
        const DWORD count = block.Get("bsiz", size, sizeof size);
        if (count >= 2)
            m_baseplateSize.cx = GetBig16(size);
        if (count >= 6)
            m_baseplateSize.cy = GetBig16(size + 4);
    }

    if (block.HasChunk("wpth")) {
        // The chunk cannot be longer than the block that holds it.
        std::vector<char> text(static_cast<size_t>(block.GetLength()) + 1, '\0');
        const DWORD count = block.Get("wpth", text.data(), static_cast<DWORD>(block.GetLength()));
        text[count] = '\0';
        ChangeBackgroundImage(text.data());
    }
}
