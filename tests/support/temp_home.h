// A fresh home folder for one test: HOME and the XDG folders point into a new
// temporary folder, which is removed, and the environment restored, after.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <unistd.h>

class TempHome {
public:
    TempHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dizado-home-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            root = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const char* value = std::getenv(name);
            m_saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        Set("HOME", root.string());
        Unset("XDG_CONFIG_HOME");
        Unset("XDG_DATA_HOME");
        Unset("XDG_CACHE_HOME");
        Unset("XDG_RUNTIME_DIR");
    }
    ~TempHome()
    {
        for (const auto& [name, value] : m_saved)
            value ? Set(name.c_str(), *value) : Unset(name.c_str());
        std::error_code error;
        // Folders a test made unwritable must not keep their files.
        std::filesystem::permissions(root, std::filesystem::perms::owner_all, error);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error))
            if (entry.is_directory(error))
                std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(root, error);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    static void Set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }
    static void Unset(const char* name) { ::unsetenv(name); }

    std::filesystem::path root;

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};
