#include "platform/core/profile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/regular_file.h"
#include "platform/core/safe_replace.h"
#include "platform/core/user_paths.h"

// Header-only use of the INI parser, with bytes kept as they are.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace platform {
namespace {

// ASCII only, as the INI parser compares: both must agree on which names are
// one, or a written file would read back differently.
char LowerAscii(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

std::string Folded(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), LowerAscii);
    return folded;
}

template <typename Items, typename NameOf>
void Reindex(std::unordered_map<std::string, size_t>& index, const Items& items, NameOf nameOf)
{
    index.clear();
    for (size_t i = 0; i < items.size(); ++i)
        index.emplace(Folded(nameOf(items[i])), i);
}

enum class Part { section, key, value };

bool MustEscape(std::string_view text, size_t i, Part part)
{
    const auto ch = static_cast<unsigned char>(text[i]);
    if (ch < 0x20 || ch == 0x7F || ch == '%')
        return true;
    // The parser trims blanks around every name and value.
    if (ch == ' ' && (i == 0 || i + 1 == text.size()))
        return true;
    switch (part) {
    case Part::section:
        return ch == ']';
    case Part::key:
        // A key line must not read as a section, a comment or, at the very
        // start of the file, as the UTF-8 signature.
        return ch == '=' || (i == 0 && (ch == '[' || ch == ';' || ch == '#' || ch == 0xEF));
    case Part::value:
        return false;
    }
    return false;
}

std::string Escape(std::string_view text, Part part)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (MustEscape(text, i, part)) {
            const auto ch = static_cast<unsigned char>(text[i]);
            out += '%';
            out += hex[ch >> 4];
            out += hex[ch & 15];
        } else {
            out += text[i];
        }
    }
    return out;
}

int HexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// "%" with two hexadecimal digits is a byte; any other "%" is itself. "%00"
// stays as it is, since no caller can pass a NUL inside a name or value.
std::string Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexDigit(text[i + 1]);
            const int low = HexDigit(text[i + 2]);
            const int byte = high < 0 || low < 0 ? 0 : high * 16 + low;
            if (byte != 0) {
                out += static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

ProfileData ProfileData::Parse(std::string_view bytes)
{
    if (bytes.size() > kMaxProfileBytes) {
        bytes = bytes.substr(0, kMaxProfileBytes);
        const size_t lineEnd = bytes.find_last_of("\r\n");
        bytes = lineEnd == std::string_view::npos ? std::string_view() : bytes.substr(0, lineEnd + 1);
    }
    // The parser stops at a NUL; what follows one is still the user's.
    std::string text;
    text.reserve(bytes.size());
    std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(text), [](char ch) { return ch != '\0'; });

    ProfileData data;
    CSimpleIniA ini;
    if (ini.LoadData(text.data(), text.size()) < 0)
        return data;
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& section : sections) {
        const std::string name = Unescape(section.pItem);
        data.AddSection(name);
        CSimpleIniA::TNamesDepend keys;
        ini.GetAllKeys(section.pItem, keys);
        keys.sort(CSimpleIniA::Entry::LoadOrder());
        for (const auto& key : keys) {
            const char* value = ini.GetValue(section.pItem, key.pItem, "");
            data.Set(name, Unescape(key.pItem), Unescape(value));
        }
    }
    // Lines before any section header: written back without a header, so an
    // empty one would not come back.
    if (const Section* top = data.FindSection(""); top && top->entries.empty())
        data.RemoveSection("");
    return data;
}

std::string ProfileData::Serialize() const
{
    CSimpleIniA ini;
    ini.SetSpaces(false);
    // Keys without a section must come first, where no header precedes them.
    std::vector<const Section*> order;
    for (const Section& section : m_sections)
        if (section.name.empty())
            order.push_back(&section);
    for (const Section& section : m_sections)
        if (!section.name.empty())
            order.push_back(&section);
    for (const Section* section : order) {
        const std::string name = Escape(section->name, Part::section);
        ini.SetValue(name.c_str(), nullptr, nullptr);
        for (const auto& [key, value] : section->entries)
            ini.SetValue(name.c_str(), Escape(key, Part::key).c_str(), Escape(value, Part::value).c_str());
    }
    std::string text;
    ini.Save(text);
    return text;
}

const ProfileData::Section* ProfileData::FindSection(std::string_view name) const
{
    const auto found = m_index.find(Folded(name));
    return found == m_index.end() ? nullptr : &m_sections[found->second];
}

ProfileData::Section* ProfileData::FindSection(std::string_view name)
{
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

ProfileData::Section& ProfileData::AddSection(std::string_view name)
{
    if (Section* found = FindSection(name))
        return *found;
    // Keys without a section are written first, under no header, and read
    // back first: they are kept there from the start, wherever a "[]" was.
    if (name.empty()) {
        m_sections.insert(m_sections.begin(), Section {std::string(), {}, {}});
        Reindex(m_index, m_sections, [](const Section& each) { return each.name; });
        return m_sections.front();
    }
    m_index.emplace(Folded(name), m_sections.size());
    m_sections.push_back(Section {std::string(name), {}, {}});
    return m_sections.back();
}

const std::pair<std::string, std::string>* ProfileData::FindEntry(const Section& section, std::string_view key) const
{
    const auto found = section.keys.find(Folded(key));
    return found == section.keys.end() ? nullptr : &section.entries[found->second];
}

const std::string* ProfileData::Find(std::string_view section, std::string_view key) const
{
    const Section* found = FindSection(section);
    const auto* entry = found ? FindEntry(*found, key) : nullptr;
    return entry ? &entry->second : nullptr;
}

bool ProfileData::HasSection(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool ProfileData::Set(std::string_view section, std::string_view key, std::string_view value)
{
    Section* found = &AddSection(section);
    if (auto* entry = const_cast<std::pair<std::string, std::string>*>(FindEntry(*found, key))) {
        if (entry->second == value)
            return false;
        entry->second = value;
        return true;
    }
    found->keys.emplace(Folded(key), found->entries.size());
    found->entries.emplace_back(std::string(key), std::string(value));
    return true;
}

bool ProfileData::RemoveKey(std::string_view section, std::string_view key)
{
    Section* found = FindSection(section);
    const auto position = found ? found->keys.find(Folded(key)) : Index::iterator();
    if (!found || position == found->keys.end())
        return false;
    found->entries.erase(found->entries.begin() + static_cast<std::ptrdiff_t>(position->second));
    Reindex(found->keys, found->entries, [](const auto& entry) { return entry.first; });
    return true;
}

bool ProfileData::RemoveSection(std::string_view section)
{
    const auto position = m_index.find(Folded(section));
    if (position == m_index.end())
        return false;
    m_sections.erase(m_sections.begin() + static_cast<std::ptrdiff_t>(position->second));
    Reindex(m_index, m_sections, [](const Section& each) { return each.name; });
    return true;
}

std::vector<std::string> ProfileData::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section& section : m_sections)
        names.push_back(section.name);
    return names;
}

std::vector<std::string> ProfileData::KeyNames(std::string_view section) const
{
    std::vector<std::string> names;
    if (const Section* found = FindSection(section))
        for (const auto& entry : found->entries)
            names.push_back(entry.first);
    return names;
}

int ParseProfileInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace platform

namespace {

// Replaces the file at `target` with `text`; the old file stays whole when
// that fails.
bool ReplaceFile(const std::string& target, const std::string& text)
{
    // The folder the default profile lies in is made with its first write.
    const std::string folder = std::filesystem::path(target).parent_path().string();
    if (!folder.empty() && !platform::MakeFolders(folder))
        return false;
    try {
        platform::ReplaceFileSafely(target.c_str(), [&](CFile& file) {
            file.Write(text.data(), static_cast<UINT>(text.size()));
        });
    } catch (const CException&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

}  // namespace

CPrivateProfile::CPrivateProfile(std::string path) : m_path(std::move(path)) {}

CPrivateProfile::Stamp CPrivateProfile::StampOf(const struct stat& status)
{
    return Stamp {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino), status.st_size,
                  status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec};
}

bool CPrivateProfile::Refresh()
{
    // Never a FIFO, device or pseudo file: a profile is the user's own file.
    const int fd = platform::OpenRegularFile(m_path, O_RDONLY);
    if (fd < 0) {
        m_stamp.reset();
        m_data = {};
        // A missing file is an empty profile that may be made; any other
        // failure keeps the file as it is.
        m_complete = errno == ENOENT;
        return m_complete;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        m_stamp.reset();
        m_data = {};
        m_complete = false;
        return false;
    }
    const Stamp stamp = StampOf(status);
    if (m_stamp && *m_stamp == stamp) {
        ::close(fd);
        return true;
    }
    std::string bytes(std::min<size_t>(static_cast<size_t>(std::max<off_t>(status.st_size, 0)),
                                       platform::kMaxProfileBytes) +
                          1,
                      '\0');
    size_t got = 0;
    bool failed = false;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failed = true;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (failed) {
        m_stamp.reset();
        m_data = {};
        m_complete = false;
        return false;
    }
    bytes.resize(got);
    // One byte past the limit was asked for, to see whether there is more.
    m_complete = got <= platform::kMaxProfileBytes;
    m_data = platform::ProfileData::Parse(bytes);
    m_stamp = stamp;
    return true;
}

bool CPrivateProfile::Store(const platform::ProfileData& data)
{
    // A file that was not read whole is never replaced: its tail would be lost.
    if (!m_complete)
        return false;
    const std::string text = data.Serialize();
    if (text.size() > platform::kMaxProfileBytes || !ReplaceFile(m_path, text))
        return false;
    // What the file now reads as, which may differ from `data` by an empty
    // section without a name.
    m_data = platform::ProfileData::Parse(text);
    m_complete = true;
    struct stat status {};
    if (::stat(m_path.c_str(), &status) == 0)
        m_stamp = StampOf(status);
    else
        m_stamp.reset();
    return true;
}

CString CPrivateProfile::GetProfileString(const char* section, const char* entry, const char* defaultValue)
{
    std::lock_guard lock(m_mutex);
    const std::string* value = nullptr;
    if (section && entry && Refresh())
        value = m_data.Find(section, entry);
    return value ? CString(*value) : CString(defaultValue);
}

std::optional<std::string> CPrivateProfile::FindProfileString(const char* section, const char* entry)
{
    std::lock_guard lock(m_mutex);
    const std::string* value = nullptr;
    if (section && entry && Refresh())
        value = m_data.Find(section, entry);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

UINT CPrivateProfile::GetProfileInt(const char* section, const char* entry, int defaultValue)
{
    std::lock_guard lock(m_mutex);
    const std::string* value = nullptr;
    if (section && entry && Refresh())
        value = m_data.Find(section, entry);
    if (!value || value->empty())
        return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(platform::ParseProfileInt(*value));
}

BOOL CPrivateProfile::WriteProfileString(const char* section, const char* entry, const char* value)
{
    std::lock_guard lock(m_mutex);
    if (!section || (entry && !*entry) || !Refresh())
        return FALSE;
    platform::ProfileData next = m_data;
    const bool changed = !entry ? next.RemoveSection(section)
                         : !value ? next.RemoveKey(section, entry)
                                  : next.Set(section, entry, value);
    return !changed || Store(next);
}

BOOL CPrivateProfile::WriteProfileInt(const char* section, const char* entry, int value)
{
    const std::string text = std::to_string(value);
    return WriteProfileString(section, entry, text.c_str());
}

std::vector<std::string> CPrivateProfile::GetSectionNames()
{
    std::lock_guard lock(m_mutex);
    return Refresh() ? m_data.SectionNames() : std::vector<std::string>();
}

std::vector<std::string> CPrivateProfile::GetKeyNames(const char* section)
{
    std::lock_guard lock(m_mutex);
    return section && Refresh() ? m_data.KeyNames(section) : std::vector<std::string>();
}

namespace {

// One cached profile per file named by the system calls.
CPrivateProfile* ProfileFor(const char* file)
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<CPrivateProfile>> profiles;
    if (!file || !*file)
        return nullptr;
    std::lock_guard lock(mutex);
    auto& profile = profiles[file];
    if (!profile)
        profile = std::make_unique<CPrivateProfile>(file);
    return profile.get();
}

// Copies names, each zero-terminated, and a final zero; a list that does not
// fit is cut and ends with two zeros.
DWORD CopyNameList(const std::vector<std::string>& names, char* buffer, DWORD size)
{
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    DWORD used = 0;
    for (const std::string& name : names) {
        const std::string_view text(name.c_str());  // a name holds no NUL
        if (used + text.size() + 1 > size - 1) {
            const DWORD room = size - 2 - std::min(used, size - 2);
            std::memcpy(buffer + used, text.data(), std::min<size_t>(room, text.size()));
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + used, text.data(), text.size());
        used += static_cast<DWORD>(text.size());
        buffer[used++] = '\0';
    }
    buffer[used] = '\0';
    if (used == 0)
        buffer[1] = '\0';  // size is at least 2 here
    return used;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                               DWORD size, const char* file)
{
    if (!buffer || size == 0)
        return 0;
    CPrivateProfile* profile = ProfileFor(file);
    if (profile && !section)
        return CopyNameList(profile->GetSectionNames(), buffer, size);
    if (profile && !key)
        return CopyNameList(profile->GetKeyNames(section), buffer, size);
    const CString value = profile ? profile->GetProfileString(section, key, defaultValue) : CString(defaultValue);
    const DWORD length = static_cast<DWORD>(std::min<size_t>(std::strlen(value.c_str()), size - 1));
    std::memcpy(buffer, value.c_str(), length);
    buffer[length] = '\0';
    return length;
}

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* file)
{
    CPrivateProfile* profile = ProfileFor(file);
    return profile ? profile->GetProfileInt(section, key, defaultValue) : static_cast<UINT>(defaultValue);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file)
{
    CPrivateProfile* profile = ProfileFor(file);
    return profile ? profile->WriteProfileString(section, key, value) : FALSE;
}
