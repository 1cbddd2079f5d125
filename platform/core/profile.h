// The private profile: an INI file of sections holding keys with text values,
// read and written with the class library's profile calls. Section and key
// names compare without case (ASCII letters only).
//
// Any name or value the program gives comes back exactly: the bytes an INI
// line cannot hold as they are ("%", control characters, "]" in a section
// name, "=" in a key, a leading comment mark, blanks at either end) are
// written as "%" and two hexadecimal digits. Other bytes, including ones that
// are no UTF-8, are kept as they are. Lines that are no section, key or
// comment are skipped; NUL bytes in the file are dropped; of a key given twice
// in a section the last counts. Comments are not kept when the file is written.
//
// Writing replaces the file through a temporary file in the same folder, so a
// failed write leaves the old file whole. A file larger than
// platform::kMaxProfileBytes is read up to that size and never replaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/core/types.h"

struct stat;

namespace platform {

constexpr size_t kMaxProfileBytes = 1 << 20;

// The parsed contents of a profile, sections and keys in file order; the keys
// without a section (the unnamed section) always first.
class ProfileData {
public:
    // Reads at most kMaxProfileBytes, cut at the last line break within them.
    static ProfileData Parse(std::string_view bytes);
    std::string Serialize() const;

    const std::string* Find(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;
    // Each answers whether the data changed.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    bool RemoveKey(std::string_view section, std::string_view key);
    bool RemoveSection(std::string_view section);

    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    friend bool operator==(const ProfileData&, const ProfileData&) = default;

private:
    // Lookups go through an index by the name in lower case, so that a file
    // of many thousand names is read in linear time.
    using Index = std::unordered_map<std::string, size_t>;
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
        Index keys;
        friend bool operator==(const Section&, const Section&) = default;
    };
    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    Section& AddSection(std::string_view name);
    const std::pair<std::string, std::string>* FindEntry(const Section& section, std::string_view key) const;

    std::vector<Section> m_sections;
    Index m_index;
};

// Reads an integer value as the class library does: optional blanks and sign,
// then decimal digits; text without digits gives 0, out-of-range values the
// nearest limit.
int ParseProfileInt(std::string_view text);

}  // namespace platform

// One profile file. Each call sees the file as it is on disk; the parsed
// contents are kept while the file is unchanged.
class CPrivateProfile {
public:
    explicit CPrivateProfile(std::string path);
    CPrivateProfile(const CPrivateProfile&) = delete;
    CPrivateProfile& operator=(const CPrivateProfile&) = delete;

    const std::string& GetPath() const { return m_path; }

    // `defaultValue` (null as empty) when the key is missing; an empty value is
    // empty.
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
    // Nothing when the key is missing.
    std::optional<std::string> FindProfileString(const char* section, const char* entry);
    // `defaultValue` when the key is missing or its value empty.
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    // A null entry removes the whole section, a null value the key. FALSE when
    // the file could not be written (the old file is then unchanged), when the
    // section or entry is missing (null section, empty entry), or when the
    // file would outgrow kMaxProfileBytes.
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);

    // Names in file order; nothing when the section is missing.
    std::vector<std::string> GetSectionNames();
    std::vector<std::string> GetKeyNames(const char* section);

private:
    struct Stamp {
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modified = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    static Stamp StampOf(const struct stat& status);
    // Brings the cache up to the file; false when something other than a
    // missing file keeps it from being read.
    bool Refresh();
    bool Store(const platform::ProfileData& data);

    std::string m_path;
    std::mutex m_mutex;
    platform::ProfileData m_data;
    std::optional<Stamp> m_stamp;
    bool m_complete = true;  // the file was read whole and may be replaced
};

// The system calls under the class library's profile functions, on the named
// file. A null section lists the section names, a null key the key names of
// the section, each name zero-terminated and the list ended by a second zero;
// a list that does not fit is cut and answers size - 2. A value that does not
// fit is cut and answers size - 1. Otherwise the answer is the length copied.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                               DWORD size, const char* file);
UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* file);
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file);
