#include "platform/core/user_paths.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string Home()
{
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

// An XDG variable when set to an absolute path, else the fallback under home.
std::string BaseFolder(const char* variable, const char* underHome)
{
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return value;
    const std::string home = Home();
    return home.empty() ? std::string() : home + "/" + underHome;
}

std::string Below(const std::string& base, const char* name)
{
    return base.empty() ? std::string() : base + "/" + name;
}

}  // namespace

std::string ConfigFolder()
{
    return Below(BaseFolder("XDG_CONFIG_HOME", ".config"), "dizado");
}

std::string DefaultProfilePath()
{
    return Below(ConfigFolder(), "dizado.ini");
}

std::string DefaultRegistryStorePath()
{
    return Below(ConfigFolder(), "registry.ini");
}

std::string DefaultLocation()
{
    const std::string folder = Below(BaseFolder("XDG_DATA_HOME", ".local/share"), "dizado");
    if (!folder.empty())
        MakeFolders(folder);
    return folder;
}

std::string RescueFolder()
{
    const std::string data = Below(BaseFolder("XDG_DATA_HOME", ".local/share"), "dizado");
    return Below(data, "rescued");
}

std::string RuntimeFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        return runtime;
    const std::string cache = Below(BaseFolder("XDG_CACHE_HOME", ".cache"), "dizado");
    return !cache.empty() && MakeFolders(cache) ? cache : std::string();
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode);
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST)
        return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    return false;
}

}  // namespace platform
