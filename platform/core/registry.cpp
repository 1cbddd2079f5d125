#include "platform/core/registry.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/core/profile.h"
#include "platform/core/user_paths.h"

namespace {

// The default value's key in a key's section, as registry exports name it.
constexpr const char* kDefaultValue = "@";
constexpr size_t kMaxKeyNameLength = 255;

struct Store {
    std::mutex mutex;
    std::string path;  // empty: the default beside the profile
    std::unique_ptr<CPrivateProfile> file;
};

Store& TheStore()
{
    static Store store;
    return store;
}

// The profile under the store, made anew when the path changed.
CPrivateProfile* StoreFile(Store& store)
{
    const std::string path = store.path.empty() ? platform::DefaultRegistryStorePath() : store.path;
    if (path.empty())
        return nullptr;
    if (!store.file || store.file->GetPath() != path)
        store.file = std::make_unique<CPrivateProfile>(path);
    return store.file.get();
}

// The store's section for a key: the root's name and each part of the path.
// False for an unknown root or a path with an empty or overlong part.
bool SectionFor(HKEY root, const char* subKey, std::string& section)
{
    if (root != HKEY_CLASSES_ROOT)
        return false;
    section = "HKEY_CLASSES_ROOT";
    if (!subKey || !*subKey)
        return true;
    const std::string path(subKey);
    size_t start = 0;
    while (true) {
        const size_t end = path.find('\\', start);
        const size_t length = (end == std::string::npos ? path.size() : end) - start;
        if (length == 0 || length > kMaxKeyNameLength)
            return false;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    section += "\\" + path;
    return true;
}

}  // namespace

LONG RegSetValueA(HKEY root, const char* subKey, DWORD type, const char* data, DWORD)
{
    if (root != HKEY_CLASSES_ROOT)
        return ERROR_INVALID_HANDLE;
    std::string section;
    if (type != REG_SZ || !data || !SectionFor(root, subKey, section))
        return ERROR_INVALID_PARAMETER;
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    CPrivateProfile* file = StoreFile(store);
    if (!file || !file->WriteProfileString(section.c_str(), kDefaultValue, data))
        return ERROR_WRITE_FAULT;
    return ERROR_SUCCESS;
}

LONG RegQueryValueA(HKEY root, const char* subKey, char* value, LONG* size)
{
    if (root != HKEY_CLASSES_ROOT)
        return ERROR_INVALID_HANDLE;
    std::string section;
    if ((value && !size) || !SectionFor(root, subKey, section))
        return ERROR_INVALID_PARAMETER;
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    CPrivateProfile* file = StoreFile(store);
    const std::optional<std::string> text = file ? file->FindProfileString(section.c_str(), kDefaultValue) : std::nullopt;
    if (!text)
        return ERROR_FILE_NOT_FOUND;
    // The store's size limit keeps this far below the range of LONG.
    const size_t needed = text->size() + 1;
    const LONG available = size ? *size : 0;
    if (size)
        *size = static_cast<LONG>(needed);
    if (!value)
        return ERROR_SUCCESS;
    if (available < 0 || static_cast<size_t>(available) < needed)
        return ERROR_MORE_DATA;
    std::memcpy(value, text->c_str(), needed);
    return ERROR_SUCCESS;
}

namespace platform {
std::string SetRegistryStorePath(std::string path)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    std::swap(store.path, path);
    return path;
}
}  // namespace platform
