#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <unistd.h>

namespace fuzz {
namespace {

std::string FromEnvironment(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    return value && *value ? value : fallback;
}

// Removed at exit, where exit runs destructors (scripts/fuzz.sh points TMPDIR
// at a folder of its own for the runs that end without).
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::error_code error;
        m_path = std::filesystem::temp_directory_path(error) / ("dizado-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_path, error);
    }
    ~ScratchFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace

Bytes TestData(const std::string& name)
{
    return ReadFile(FromEnvironment("DIZADO_TEST_DATA", DIZADO_TEST_DATA_DIR) + "/" + name);
}

Bytes ProgramResourceImage()
{
    return ReadFile(DIZADO_PROGRAM_RES);
}

Bytes ProgramResource(const char* type, const char* name)
{
    HMODULE program = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(program, name, type);
    if (!resource)
        return {};
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(program, resource)));
    return bytes ? Bytes(bytes, bytes + SizeofResource(program, resource)) : Bytes();
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) : Bytes();
}

bool WriteFile(const std::string& path, const void* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

std::string ScratchPath(const std::string& name)
{
    static ScratchFolder folder;
    return (folder.Path() / name).string();
}

void Touch(const void* data, size_t size)
{
    const auto* bytes = static_cast<const volatile unsigned char*>(data);
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += bytes[i];
    static volatile unsigned sink;
    sink = sink + sum;
}

void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz target check failed: %s\n", what);
    std::abort();
}

QuietHooks::QuietHooks()
{
    m_box = platform::SetMessageBoxHook([](const std::string&, const std::string&, UINT) { return IDOK; });
    m_beep = platform::SetBeepHook([](UINT) {});
    m_keys = platform::SetKeyStateHook([](int) -> SHORT { return 0; });
}

QuietHooks::~QuietHooks()
{
    platform::SetKeyStateHook(m_keys);
    platform::SetBeepHook(m_beep);
    platform::SetMessageBoxHook(m_box);
}

uint8_t InputReader::Byte()
{
    return m_at < m_size ? m_data[m_at++] : 0;
}

uint16_t InputReader::Word()
{
    const uint8_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
}

Bytes InputReader::Take(size_t count)
{
    const size_t n = count < Left() ? count : Left();
    Bytes out(m_data + m_at, m_data + m_at + n);
    m_at += n;
    return out;
}

namespace {

void ReadResource(HMODULE module, const char* name, const char* type)
{
    HRSRC resource = FindResourceA(module, name, type);
    if (!resource)
        return;
    const void* bytes = LockResource(LoadResource(module, resource));
    const DWORD size = SizeofResource(module, resource);
    if (!bytes && size)
        Fail("a resource found has no bytes");
    if (bytes)
        Touch(bytes, size);
}

}  // namespace

void ReadModule(HMODULE module)
{
    static const char* const kIdTypes[] = {"BRICKCLASS", "BRICKPREVIEW", "BRICKORIENTATION", "BRICKIMAGE", "REGION",
                                           "MYPALETTE"};
    std::vector<unsigned> ids = {1, 2, 3, 10, 100, 101, 102, 103, 200, 300, 1030, 2000, 2001, 2002};
    char text[64];
    for (UINT id = 0; id < 48; ++id)
        LoadStringA(module, id, text, sizeof text);
    // The kit's class list: strings from 100 on name the classes.
    for (UINT id = 100; id < 132; ++id) {
        if (LoadStringA(module, id, text, sizeof text) > 0)
            ids.push_back(static_cast<unsigned>(std::strtoul(text, nullptr, 10)) & 0xFFFF);
    }
    LoadStringA(module, 100, text, 3);  // cut short
    for (unsigned block = 1; block <= 16; ++block)
        ReadResource(module, MAKEINTRESOURCE(block), RT_STRING);
    for (unsigned id : ids) {
        for (const char* type : kIdTypes)
            ReadResource(module, MAKEINTRESOURCE(id), type);
        ReadResource(module, MAKEINTRESOURCE(id), RT_RCDATA);
    }
    for (const char* name : {"CLIK", "BAD", "SIGNIN", "#1030", "#65535", "brck", "BASI"})
        ReadResource(module, name, "SOUND");
    for (const char* name : {"BASI", "TEST", "KIT1"})
        ReadResource(module, name, "KITNAMELABEL");
}

}  // namespace fuzz
