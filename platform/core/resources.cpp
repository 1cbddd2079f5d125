#include "platform/core/resources.h"

#include <algorithm>
#include <compare>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "platform/core/find_file.h"
#include "platform/core/regular_file.h"

namespace {

// A resource type or name as the lookup compares it: a numeric id, or a name
// in UTF-8 folded to ASCII upper case.
struct ResourceKey {
    bool isName = false;
    WORD id = 0;
    std::string name;
    auto operator<=>(const ResourceKey&) const = default;
};

using EntryKey = std::pair<ResourceKey, ResourceKey>;  // type, name

// A key as a lookup holds it, without copying the name: bricks look their
// class resources up for every change, so lookups must not allocate.
struct KeyRef {
    bool isName = false;
    WORD id = 0;
    std::string_view name;
};

std::strong_ordering Compare(const ResourceKey& a, const KeyRef& b)
{
    if (a.isName != b.isName)
        return a.isName <=> b.isName;
    if (a.id != b.id)
        return a.id <=> b.id;
    return std::string_view(a.name).compare(b.name) <=> 0;
}

// Orders entries as ResourceKey's own comparison does, and also against a
// (type, name) pair of KeyRefs.
struct EntryLess {
    using is_transparent = void;
    using QueryPair = std::pair<KeyRef, KeyRef>;
    bool operator()(const EntryKey& a, const EntryKey& b) const { return a < b; }
    bool operator()(const EntryKey& a, const QueryPair& b) const
    {
        const auto first = Compare(a.first, b.first);
        return first != 0 ? first < 0 : Compare(a.second, b.second) < 0;
    }
    bool operator()(const QueryPair& a, const EntryKey& b) const
    {
        const auto first = Compare(b.first, a.first);
        return first != 0 ? first > 0 : Compare(b.second, a.second) > 0;
    }
};

}  // namespace

struct ResourceEntry {
    const unsigned char* data = nullptr;
    DWORD size = 0;
    WORD language = 0;
    HGLOBAL block = nullptr;  // made by the first LoadResource
    // A zero-sized resource still needs an address of its own, so that its
    // block is not confused with a neighbour's.
    unsigned char none = 0;
};

struct ResourceModule {
    ResourceModule() = default;
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;
    ~ResourceModule()
    {
        for (ResourceEntry& entry : entries)
            if (entry.block)
                platform::DestroyBorrowedBlock(entry.block);
    }

    bool Owns(HRSRC entry) const
    {
        std::less<HRSRC> before;
        return !entries.empty() && !before(entry, entries.data()) && before(entry, entries.data() + entries.size());
    }

    std::vector<unsigned char> bytes;  // empty when the bytes are borrowed (the program's)
    std::vector<ResourceEntry> entries;  // fixed once parsed: handles point into it
    std::map<EntryKey, size_t, EntryLess> index;
    std::string path;  // kits loaded from a file: the key of the open-library table
    size_t references = 0;
    // The file as it was read, so that a parked module is revived only while
    // the file is unchanged.
    std::uintmax_t fileSize = 0;
    std::filesystem::file_time_type fileTime{};
};

namespace {

// Caps on what a container may ask of the reader, so that a hostile file costs
// bounded work and memory.
constexpr size_t kMaxDirectoryEntries = size_t{1} << 20;
constexpr std::uintmax_t kMaxLibraryFile = std::uintmax_t{256} << 20;

// Little-endian reads that never leave [data, data + size).
class ByteView {
public:
    ByteView() = default;
    ByteView(const unsigned char* data, size_t size) : m_data(data), m_size(size) {}

    size_t size() const { return m_size; }
    const unsigned char* at(size_t offset) const { return m_data + offset; }
    bool Has(size_t offset, size_t count) const { return offset <= m_size && count <= m_size - offset; }
    bool Word(size_t offset, WORD& value) const
    {
        if (!Has(offset, 2))
            return false;
        value = static_cast<WORD>(m_data[offset] | (m_data[offset + 1] << 8));
        return true;
    }
    bool Dword(size_t offset, DWORD& value) const
    {
        if (!Has(offset, 4))
            return false;
        value = static_cast<DWORD>(m_data[offset]) | (static_cast<DWORD>(m_data[offset + 1]) << 8) |
                (static_cast<DWORD>(m_data[offset + 2]) << 16) | (static_cast<DWORD>(m_data[offset + 3]) << 24);
        return true;
    }
    ByteView Sub(size_t offset, size_t count) const { return ByteView(m_data + offset, count); }

private:
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// `units` UTF-16 code units at `offset`, which the caller has bounds-checked.
// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const ByteView& view, size_t offset, size_t units)
{
    std::string out;
    out.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        WORD unit = 0;
        view.Word(offset + 2 * i, unit);
        char32_t c = unit;
        if (unit >= 0xD800 && unit < 0xDC00) {
            WORD low = 0;
            if (i + 1 < units && view.Word(offset + 2 * (i + 1), low) && low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

ResourceKey IdKey(WORD id)
{
    return ResourceKey{false, id, {}};
}

ResourceKey NameKey(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ResourceKey{true, 0, std::move(name)};
}

// What the program passes: MAKEINTRESOURCE(id), "#id" or a name.
ResourceKey QueryKey(const char* name)
{
    if (IS_INTRESOURCE(name))
        return IdKey(static_cast<WORD>(reinterpret_cast<UINT_PTR>(name)));
    if (name[0] == '#' && name[1]) {
        DWORD id = 0;
        const char* p = name + 1;
        while (*p >= '0' && *p <= '9' && id <= 0xFFFF)
            id = id * 10 + static_cast<DWORD>(*p++ - '0');
        if (!*p && id <= 0xFFFF)
            return IdKey(static_cast<WORD>(id));
    }
    return NameKey(name);
}

// QueryKey without allocating: the folded name goes into `buffer`. FALSE
// when the name does not fit it.
bool QueryRef(const char* name, char* buffer, size_t capacity, KeyRef& key)
{
    if (IS_INTRESOURCE(name) || name[0] == '#') {
        const ResourceKey parsed = QueryKey(name);
        if (!parsed.isName) {
            key = KeyRef{false, parsed.id, {}};
            return true;
        }
    }
    const size_t length = std::strlen(name);
    if (length > capacity)
        return false;
    for (size_t i = 0; i < length; ++i) {
        const char c = name[i];
        buffer[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    key = KeyRef{true, 0, std::string_view(buffer, length)};
    return true;
}

// Of several languages of one resource the first one found is kept.
void AddEntry(ResourceModule& module, ResourceKey type, ResourceKey name, WORD language, const unsigned char* data,
              DWORD size)
{
    auto [it, added] = module.index.try_emplace(EntryKey{std::move(type), std::move(name)}, module.entries.size());
    if (!added)
        return;
    ResourceEntry& entry = module.entries.emplace_back();
    entry.data = data;
    entry.size = size;
    entry.language = language;
}

// ---- Compiled resource scripts (.res) ----

// A type or name field of a .res header: 0xFFFF and an id, or a zero-terminated
// UTF-16 string; it must end within the header.
bool ReadResKey(const ByteView& header, size_t& offset, ResourceKey& key)
{
    WORD first = 0;
    if (!header.Word(offset, first))
        return false;
    if (first == 0xFFFF) {
        WORD id = 0;
        if (!header.Word(offset + 2, id))
            return false;
        key = IdKey(id);
        offset += 4;
        return true;
    }
    size_t units = 0;
    for (WORD unit = first; unit != 0; ++units)
        if (!header.Word(offset + 2 * (units + 1), unit))
            return false;
    key = NameKey(Utf16ToUtf8(header, offset, units));
    offset += 2 * (units + 1);
    return true;
}

size_t Align4(size_t offset)
{
    return (offset + 3) & ~size_t{3};
}

// Every .res begins with an empty entry of type and name 0 that marks the format.
bool LooksLikeRes(const ByteView& file)
{
    static const unsigned char kMarker[16] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
    return file.Has(0, 32) && std::memcmp(file.at(0), kMarker, sizeof kMarker) == 0;
}

bool ParseRes(const ByteView& file, ResourceModule& module)
{
    // DataSize, HeaderSize, type, name, then (aligned) DataVersion, MemoryFlags,
    // LanguageId, Version, Characteristics.
    constexpr size_t kFixedTail = 16;
    constexpr size_t kSmallestHeader = 8 + 4 + 4 + kFixedTail;
    size_t pos = 0;
    while (pos < file.size()) {
        DWORD dataSize = 0;
        DWORD headerSize = 0;
        if (!file.Dword(pos, dataSize) || !file.Dword(pos + 4, headerSize))
            return false;
        if (headerSize < kSmallestHeader || !file.Has(pos, headerSize))
            return false;
        const ByteView header = file.Sub(pos, headerSize);
        size_t field = 8;
        ResourceKey type;
        ResourceKey name;
        if (!ReadResKey(header, field, type) || !ReadResKey(header, field, name))
            return false;
        field = Align4(field);
        WORD language = 0;
        if (!header.Has(field, kFixedTail) || !header.Word(field + 6, language))
            return false;
        const size_t dataStart = pos + headerSize;
        if (!file.Has(dataStart, dataSize))
            return false;
        const bool empty = !type.isName && type.id == 0;
        if (!empty)
            AddEntry(module, std::move(type), std::move(name), language, file.at(dataStart), dataSize);
        pos = Align4(dataStart + dataSize);
    }
    return true;
}

// ---- Portable executables: the resource section of PE32 and PE32+ ----

struct Section {
    DWORD address = 0;  // RVA
    DWORD extent = 0;   // bytes of the section that the file holds
    DWORD fileOffset = 0;
};

// A stretch of RVAs that one section answers for: where sections overlap, the
// first in the table takes the RVA.
struct Span {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    size_t section = 0;
};

// The loader refuses images of more sections; a cap also keeps building the
// map of spans cheap.
constexpr size_t kMaxSections = 96;

class PeImage {
public:
    explicit PeImage(const ByteView& file) : m_file(file) {}

    // Reads the headers; `rsrcRva` is 0 when there is no resource directory.
    bool ReadHeaders(DWORD& rsrcRva)
    {
        DWORD peOffset = 0;
        if (!m_file.Has(0, 0x40) || m_file.at(0)[0] != 'M' || m_file.at(0)[1] != 'Z' || !m_file.Dword(0x3C, peOffset))
            return false;
        constexpr size_t kFileHeader = 20;
        if (!m_file.Has(peOffset, 4 + kFileHeader) || std::memcmp(m_file.at(peOffset), "PE\0\0", 4) != 0)
            return false;
        const size_t fileHeader = size_t{peOffset} + 4;
        WORD sectionCount = 0;
        WORD optionalSize = 0;
        m_file.Word(fileHeader + 2, sectionCount);
        m_file.Word(fileHeader + 16, optionalSize);
        const size_t optional = fileHeader + kFileHeader;
        if (!m_file.Has(optional, optionalSize))
            return false;
        const ByteView header = m_file.Sub(optional, optionalSize);
        WORD magic = 0;
        if (!header.Word(0, magic))
            return false;
        size_t directories = 0;
        if (magic == 0x10B)
            directories = 96;
        else if (magic == 0x20B)
            directories = 112;
        else
            return false;
        DWORD directoryCount = 0;
        if (!header.Dword(directories - 4, directoryCount))
            return false;
        constexpr DWORD kResourceDirectory = 2;
        rsrcRva = 0;
        if (directoryCount > kResourceDirectory && !header.Dword(directories + 8 * kResourceDirectory, rsrcRva))
            return false;

        const size_t table = optional + optionalSize;
        constexpr size_t kSectionHeader = 40;
        if (sectionCount > kMaxSections || !m_file.Has(table, size_t{sectionCount} * kSectionHeader))
            return false;
        for (size_t i = 0; i < sectionCount; ++i) {
            const size_t at = table + i * kSectionHeader;
            DWORD virtualSize = 0;
            DWORD rawSize = 0;
            Section section;
            m_file.Dword(at + 8, virtualSize);
            m_file.Dword(at + 12, section.address);
            m_file.Dword(at + 16, rawSize);
            m_file.Dword(at + 20, section.fileOffset);
            // Bytes beyond the raw data exist only in memory (zero fill) and a
            // truncated file may hold fewer still: only what is present counts.
            DWORD extent = rawSize;
            if (virtualSize != 0 && virtualSize < extent)
                extent = virtualSize;
            if (section.fileOffset >= m_file.size())
                extent = 0;
            else if (extent > m_file.size() - section.fileOffset)
                extent = static_cast<DWORD>(m_file.size() - section.fileOffset);
            section.extent = extent;
            m_sections.push_back(section);
        }
        MapSpans();
        return true;
    }

    // The file bytes from `rva` to the end of its section's data; false when
    // the RVA lies in no section or past the data the file holds. A library
    // maps every resource it holds, so this must not walk the sections.
    bool Map(DWORD rva, ByteView& view) const
    {
        auto after = std::upper_bound(m_spans.begin(), m_spans.end(), std::uint64_t{rva},
                                      [](std::uint64_t at, const Span& span) { return at < span.begin; });
        if (after == m_spans.begin() || rva >= std::prev(after)->end)
            return false;
        const Section& section = m_sections[std::prev(after)->section];
        const DWORD into = rva - section.address;
        view = m_file.Sub(size_t{section.fileOffset} + into, section.extent - into);
        return true;
    }

private:
    // Cuts the RVAs at every section's ends and gives each piece to the first
    // section that holds it: sorted, disjoint spans for Map to search.
    void MapSpans()
    {
        std::vector<std::uint64_t> cuts;
        for (const Section& section : m_sections) {
            if (section.extent == 0)
                continue;
            cuts.push_back(section.address);
            cuts.push_back(std::uint64_t{section.address} + section.extent);
        }
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        for (size_t i = 0; i + 1 < cuts.size(); ++i) {
            for (size_t s = 0; s < m_sections.size(); ++s) {
                const Section& section = m_sections[s];
                if (cuts[i] < section.address || cuts[i] >= std::uint64_t{section.address} + section.extent)
                    continue;
                if (!m_spans.empty() && m_spans.back().section == s && m_spans.back().end == cuts[i])
                    m_spans.back().end = cuts[i + 1];
                else
                    m_spans.push_back(Span{cuts[i], cuts[i + 1], s});
                break;
            }
        }
    }

    ByteView m_file;
    std::vector<Section> m_sections;
    std::vector<Span> m_spans;  // by RVA
};

// The resource directory: three levels (type, name, language) of directory
// tables whose offsets are relative to the start of the resource section. The
// tree must be a tree: a table reached twice means a loop or shared subtrees.
class ResourceTree {
public:
    ResourceTree(const PeImage& image, const ByteView& tree, ResourceModule& module)
        : m_image(image), m_tree(tree), m_module(module)
    {
    }

    bool Read() { return ReadTable(0, 0); }

private:
    static constexpr DWORD kHighBit = 0x80000000u;

    bool ReadTable(DWORD offset, int level)
    {
        if (!m_visited.insert(offset).second)
            return false;
        WORD named = 0;
        WORD ids = 0;
        if (!m_tree.Word(size_t{offset} + 12, named) || !m_tree.Word(size_t{offset} + 14, ids))
            return false;
        const size_t count = size_t{named} + ids;
        const size_t first = size_t{offset} + 16;
        if (!m_tree.Has(first, count * 8))
            return false;
        for (size_t i = 0; i < count; ++i) {
            if (++m_entriesSeen > kMaxDirectoryEntries)
                return false;
            DWORD nameField = 0;
            DWORD target = 0;
            m_tree.Dword(first + i * 8, nameField);
            m_tree.Dword(first + i * 8 + 4, target);
            ResourceKey key;
            if (!ReadKey(nameField, key))
                return false;
            if (level < 2) {
                if (!(target & kHighBit))
                    return false;
                m_path[level] = std::move(key);
                if (!ReadTable(target & ~kHighBit, level + 1))
                    return false;
            } else if ((target & kHighBit) || !ReadData(target, key)) {
                return false;
            }
        }
        return true;
    }

    bool ReadKey(DWORD field, ResourceKey& key) const
    {
        if (!(field & kHighBit)) {
            if (field > 0xFFFF)
                return false;
            key = IdKey(static_cast<WORD>(field));
            return true;
        }
        const size_t at = field & ~kHighBit;
        WORD units = 0;
        if (!m_tree.Word(at, units) || !m_tree.Has(at + 2, size_t{units} * 2))
            return false;
        key = NameKey(Utf16ToUtf8(m_tree, at + 2, units));
        return true;
    }

    bool ReadData(DWORD offset, const ResourceKey& language)
    {
        DWORD rva = 0;
        DWORD size = 0;
        if (!m_tree.Dword(offset, rva) || !m_tree.Dword(size_t{offset} + 4, size))
            return false;
        ByteView data;
        if (!m_image.Map(rva, data) || !data.Has(0, size))
            return false;
        AddEntry(m_module, m_path[0], m_path[1], language.isName ? 0 : language.id, data.at(0), size);
        return true;
    }

    const PeImage& m_image;
    ByteView m_tree;
    ResourceModule& m_module;
    std::set<DWORD> m_visited;
    size_t m_entriesSeen = 0;
    ResourceKey m_path[2];
};

bool ParsePe(const ByteView& file, ResourceModule& module)
{
    PeImage image(file);
    DWORD rsrcRva = 0;
    if (!image.ReadHeaders(rsrcRva))
        return false;
    if (rsrcRva == 0)
        return true;  // an image without resources
    ByteView tree;
    if (!image.Map(rsrcRva, tree))
        return false;
    return ResourceTree(image, tree, module).Read();
}

bool Parse(const ByteView& file, ResourceModule& module)
{
    if (file.Has(0, 2) && file.at(0)[0] == 'M' && file.at(0)[1] == 'Z')
        return ParsePe(file, module);
    return LooksLikeRes(file) && ParseRes(file, module);
}

// ---- Open modules ----

struct Libraries {
    std::mutex mutex;
    std::set<HMODULE> open;                // kits and modules made from memory
    std::map<std::string, HMODULE> byPath;  // kits loaded from a file, while open
    // Kits freed by their last user, kept parsed: the program loads a class's
    // library for every single reading, so the same few files come back at
    // once. Most recently freed last; a parked handle is not open.
    std::vector<HMODULE> parked;
    size_t loads = 0;                       // loads not yet freed
    const unsigned char* programBytes = nullptr;
    size_t programSize = 0;
    HMODULE program = nullptr;  // parsed on first use
};

// Never destroyed: resource calls may come from other objects' destructors at
// exit, and module handles must stay valid until then.
Libraries& TheLibraries()
{
    static Libraries* libraries = new Libraries;
    return *libraries;
}

HMODULE ProgramModule(Libraries& libraries)
{
    if (!libraries.program) {
        auto module = std::make_unique<ResourceModule>();
        if (libraries.programBytes && !Parse(ByteView(libraries.programBytes, libraries.programSize), *module))
            module = std::make_unique<ResourceModule>();  // malformed: an empty module rather than none
        libraries.program = module.release();
    }
    return libraries.program;
}

// Null stands for the program; unknown or freed handles give null.
HMODULE Resolve(Libraries& libraries, HMODULE module)
{
    if (!module || module == libraries.program)
        return ProgramModule(libraries);
    return libraries.open.count(module) ? module : nullptr;
}

std::unique_ptr<ResourceModule> ParseOwned(std::vector<unsigned char> bytes)
{
    auto module = std::make_unique<ResourceModule>();
    module->bytes = std::move(bytes);
    if (!Parse(ByteView(module->bytes.data(), module->bytes.size()), *module))
        return nullptr;
    return module;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    return platform::ReadRegularFile(path, bytes, kMaxLibraryFile);
}

// One key per file however the program spells its path.
std::string LibraryKey(const std::string& path)
{
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

}  // namespace

HMODULE LoadLibraryA(const char* path)
{
    if (!path || !*path)
        return nullptr;
    const std::string native = platform::NativePath(path);
    const std::string key = LibraryKey(native);
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    if (auto found = libraries.byPath.find(key); found != libraries.byPath.end()) {
        ++found->second->references;
        ++libraries.loads;
        return found->second;
    }
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(native, error);
    const std::filesystem::file_time_type fileTime = std::filesystem::last_write_time(native, error);
    if (error)
        return nullptr;
    for (auto it = libraries.parked.begin(); it != libraries.parked.end(); ++it) {
        HMODULE parked = *it;
        if (parked->path != key)
            continue;
        libraries.parked.erase(it);
        if (parked->fileSize == fileSize && parked->fileTime == fileTime) {
            parked->references = 1;
            libraries.open.insert(parked);
            libraries.byPath.emplace(key, parked);
            ++libraries.loads;
            return parked;
        }
        delete parked;
        break;
    }
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(native, bytes))
        return nullptr;
    std::unique_ptr<ResourceModule> module = ParseOwned(std::move(bytes));
    if (!module)
        return nullptr;
    module->path = key;
    module->references = 1;
    module->fileSize = fileSize;
    module->fileTime = fileTime;
    HMODULE handle = module.release();
    libraries.open.insert(handle);
    libraries.byPath.emplace(key, handle);
    ++libraries.loads;
    return handle;
}

HMODULE LoadLibraryExA(const char* path, HANDLE, DWORD)
{
    // Kits are only ever read as data, whatever the flags ask.
    return LoadLibraryA(path);
}

BOOL FreeLibrary(HMODULE module)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    if (!module || !libraries.open.count(module))
        return FALSE;  // the program's module is never freed
    --libraries.loads;
    if (--module->references == 0) {
        libraries.open.erase(module);
        if (module->path.empty()) {
            delete module;
            return TRUE;
        }
        libraries.byPath.erase(module->path);
        constexpr size_t kParkedLibraries = 8;
        if (libraries.parked.size() == kParkedLibraries) {
            delete libraries.parked.front();
            libraries.parked.erase(libraries.parked.begin());
        }
        libraries.parked.push_back(module);
    }
    return TRUE;
}

HINSTANCE AfxGetResourceHandle()
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    return ProgramModule(libraries);
}

HINSTANCE AfxGetInstanceHandle()
{
    return AfxGetResourceHandle();
}

DWORD GetModuleFileNameA(HMODULE, char* buffer, DWORD bufferSize)
{
    if (!buffer || bufferSize == 0)
        return 0;
    std::error_code error;
    const std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error || path.size() >= bufferSize)
        return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HRSRC FindResourceA(HMODULE module, const char* name, const char* type)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    HMODULE found = Resolve(libraries, module);
    if (!found)
        return nullptr;
    char typeBuffer[64];
    char nameBuffer[64];
    KeyRef typeKey, nameKey;
    if (!QueryRef(type, typeBuffer, sizeof typeBuffer, typeKey) || !QueryRef(name, nameBuffer, sizeof nameBuffer, nameKey)) {
        // Longer than any buffer: the allocating form.
        auto entry = found->index.find(EntryKey{QueryKey(type), QueryKey(name)});
        return entry == found->index.end() ? nullptr : &found->entries[entry->second];
    }
    auto entry = found->index.find(EntryLess::QueryPair{typeKey, nameKey});
    return entry == found->index.end() ? nullptr : &found->entries[entry->second];
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    HMODULE found = Resolve(libraries, module);
    if (!found || !resource || !found->Owns(resource))
        return nullptr;
    ResourceEntry& entry = found->entries[static_cast<size_t>(resource - found->entries.data())];
    if (!entry.block)
        entry.block = platform::MakeBorrowedBlock(entry.size ? entry.data : &entry.none, entry.size);
    return entry.block;
}

const void* LockResource(HGLOBAL data)
{
    // Resource blocks are never unlocked by the program: leave the count alone.
    void* bytes = GlobalLock(data);
    GlobalUnlock(data);
    return bytes;
}

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    HMODULE found = Resolve(libraries, module);
    if (!found || !resource || !found->Owns(resource))
        return 0;
    return resource->size;
}

BOOL FreeResource(HGLOBAL)
{
    // The block belongs to its module, which frees it with itself.
    return FALSE;
}

int LoadStringA(HINSTANCE module, UINT id, char* buffer, int bufferMax)
{
    if (!buffer || bufferMax <= 0)
        return 0;
    buffer[0] = '\0';
    if (id > 0xFFFF)
        return 0;
    // Strings come in blocks of 16, each string a count of UTF-16 units and
    // the units; block n holds ids 16 (n - 1) to 16 n - 1.
    HRSRC table = FindResourceA(module, MAKEINTRESOURCE((id >> 4) + 1), RT_STRING);
    if (!table)
        return 0;
    const ByteView view(table->data, table->size);
    size_t pos = 0;
    WORD units = 0;
    for (UINT skip = id & 15;; --skip) {
        if (!view.Word(pos, units) || !view.Has(pos + 2, size_t{units} * 2))
            return 0;
        if (skip == 0)
            break;
        pos += 2 + size_t{units} * 2;
    }
    const std::string text = Utf16ToUtf8(view, pos + 2, units);
    size_t length = text.size();
    if (length > static_cast<size_t>(bufferMax - 1)) {
        length = static_cast<size_t>(bufferMax - 1);
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;  // never cut a character in two
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

namespace platform {

void RegisterProgramResources(const void* resBytes, size_t size)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    if (libraries.programBytes || !resBytes)
        return;  // the first registration wins: handles already given out stay valid
    libraries.programBytes = static_cast<const unsigned char*>(resBytes);
    libraries.programSize = size;
    // Someone asked before the registration ran (static initialisation order):
    // the empty module handed out then takes the resources in place.
    if (HMODULE program = libraries.program) {
        if (!Parse(ByteView(libraries.programBytes, libraries.programSize), *program)) {
            program->entries.clear();
            program->index.clear();
        }
    }
}

HMODULE OpenResourceModuleFromMemory(std::vector<unsigned char> bytes)
{
    std::unique_ptr<ResourceModule> module = ParseOwned(std::move(bytes));
    if (!module)
        return nullptr;
    module->references = 1;
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    HMODULE handle = module.release();
    libraries.open.insert(handle);
    ++libraries.loads;
    return handle;
}

size_t OpenLibraryCount()
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    return libraries.loads;
}

}  // namespace platform
