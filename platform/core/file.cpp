#include <algorithm>
#include "platform/core/file.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/find_file.h"
#include "platform/core/regular_file.h"

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

CFile::CFile(const char* path, UINT flags)
{
    CFileException error;
    if (!Open(path, flags, &error))
        throw error;
}

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(const char* path, UINT flags, CFileException* error)
{
    Abort();
    m_strFileName = path;
    const std::string native = platform::NativePath(path);
    const UINT access = flags & 0x0003;
    const char* mode = "rb";
    if (flags & modeCreate) {
        if (flags & modeNoTruncate) {
            m_file = platform::OpenRegularStream(native, "r+b");
            if (m_file || errno != ENOENT) {
                mode = nullptr;
            } else {
                mode = "w+b";
            }
        } else {
            mode = access == modeWrite ? "wb" : "w+b";
        }
    } else if (access != modeRead) {
        mode = "r+b";
    }
    // Only regular files: a FIFO or device named like a model would block
    // the program or read forever.
    if (mode)
        m_file = platform::OpenRegularStream(native, mode);
    m_bWritable = (flags & modeCreate) || access != modeRead;
    if (!m_file) {
        const int osError = errno;
        if (error) {
            error->m_cause = CFileException::OsErrorToException(osError);
            error->m_lOsError = osError;
            error->m_strFileName = path;
        }
        return FALSE;
    }
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (!m_file)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    if (count == 0)
        return 0;
    const size_t got = std::fread(buffer, 1, count, m_file);
    if (got < count && std::ferror(m_file))
        AfxThrowFileException(CFileException::hardIO, errno, m_strFileName);
    return static_cast<UINT>(got);
}

void CFile::Write(const void* buffer, UINT count)
{
    if (!m_file)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    if (count == 0)
        return;
    if (std::fwrite(buffer, 1, count, m_file) != count) {
        const int osError = errno;
        AfxThrowFileException(CFileException::OsErrorToException(osError), osError, m_strFileName);
    }
}

LONG CFile::Seek(LONG offset, UINT from)
{
    if (!m_file)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    const int whence = from == current ? SEEK_CUR : (from == end ? SEEK_END : SEEK_SET);
    if (std::fseek(m_file, offset, whence) != 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<LONG>(std::ftell(m_file));
}

DWORD CFile::GetLength() const
{
    if (!m_file)
        return 0;
    // Seeking would throw the read buffer away, and readers ask for the
    // length before every record; the file's size needs no seek once written
    // bytes have left the buffer.
    if (m_bWritable)
        std::fflush(m_file);
    struct stat info {};
    if (fstat(fileno(m_file), &info) != 0 || info.st_size < 0)
        return 0;
    return static_cast<DWORD>(info.st_size);
}

void CFile::SetLength(DWORD length)
{
    if (!m_file)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    std::fflush(m_file);
    if (ftruncate(fileno(m_file), static_cast<off_t>(length)) != 0)
        AfxThrowFileException(CFileException::OsErrorToException(errno), errno, m_strFileName);
}

DWORD CFile::GetPosition() const
{
    if (!m_file)
        return 0;
    const long here = std::ftell(m_file);
    return here < 0 ? 0 : static_cast<DWORD>(here);
}

void CFile::Flush()
{
    if (m_file && std::fflush(m_file) != 0)
        AfxThrowFileException(CFileException::OsErrorToException(errno), errno, m_strFileName);
}

void CFile::Close()
{
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    // A failed close can mean the last bytes never reached the disk.
    if (std::fclose(file) != 0)
        AfxThrowFileException(CFileException::OsErrorToException(errno), errno, m_strFileName);
}

void CFile::Abort()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

CMemFile::CMemFile(UINT growBytes) : m_growBytes(growBytes) {}

CMemFile::CMemFile(const void* bytes, size_t size, UINT growBytes)
    : m_bytes(static_cast<const unsigned char*>(bytes), static_cast<const unsigned char*>(bytes) + size),
      m_growBytes(growBytes)
{
}

CMemFile::CMemFile(std::vector<unsigned char>&& bytes, UINT growBytes) : m_bytes(std::move(bytes)), m_growBytes(growBytes)
{
}

BOOL CMemFile::Open(const char*, UINT, CFileException* error)
{
    if (error)
        error->m_cause = CFileException::generic;
    return FALSE;
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (m_position >= m_bytes.size() || count == 0)
        return 0;
    const size_t available = m_bytes.size() - m_position;
    const size_t n = count < available ? count : available;
    std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    if (m_position + count > std::numeric_limits<DWORD>::max())
        AfxThrowFileException(CFileException::diskFull);
    if (m_position + count > m_bytes.size()) {
        if (m_growBytes && m_position + count > m_bytes.capacity()) {
            // At least double, so that many small writes cost linear time
            // whatever step the caller chose.
            const size_t wanted = m_position + count;
            const size_t stepped = (wanted + m_growBytes - 1) / m_growBytes * m_growBytes;
            m_bytes.reserve(std::max(stepped, m_bytes.capacity() * 2));
        }
        m_bytes.resize(m_position + count);
    }
    std::memcpy(m_bytes.data() + m_position, buffer, count);
    m_position += count;
}

LONG CMemFile::Seek(LONG offset, UINT from)
{
    const long long base = from == current ? static_cast<long long>(m_position)
                           : from == end   ? static_cast<long long>(m_bytes.size())
                                           : 0;
    const long long target = base + offset;
    if (target < 0)
        AfxThrowFileException(CFileException::badSeek);
    m_position = static_cast<size_t>(target);
    return static_cast<LONG>(m_position);
}

DWORD CMemFile::GetLength() const
{
    return static_cast<DWORD>(m_bytes.size());
}

void CMemFile::SetLength(DWORD length)
{
    m_bytes.resize(length);
    if (m_position > length)
        m_position = length;
}

DWORD CMemFile::GetPosition() const
{
    return static_cast<DWORD>(m_position);
}

void CMemFile::Close()
{
    m_bytes.clear();
    m_position = 0;
}

std::vector<unsigned char> CMemFile::Detach()
{
    std::vector<unsigned char> bytes;
    bytes.swap(m_bytes);
    m_position = 0;
    return bytes;
}
