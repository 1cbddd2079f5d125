// Where the program keeps its own files in the user's home, following the XDG
// base directories: settings under the config folder, the users' models under
// the data folder, the running-copy lock under the runtime folder.
#pragma once

#include <string>

namespace platform {

// "$XDG_CONFIG_HOME/dizado", else "~/.config/dizado". Relative XDG values are
// ignored, as the base directory rules ask. Empty when there is no home.
std::string ConfigFolder();
// The private profile: ConfigFolder() + "/dizado.ini".
std::string DefaultProfilePath();
// The registry store beside the profile: ConfigFolder() + "/registry.ini".
std::string DefaultRegistryStorePath();

// The default root of the user folders ("Location"): "$XDG_DATA_HOME/dizado",
// else "~/.local/share/dizado". It is made when missing, because the program
// makes a user's folder one level below it and nothing else would make it.
std::string DefaultLocation();

// Where a model that cannot be saved in its own place is kept instead:
// "$XDG_DATA_HOME/dizado/rescued" (or under "~/.local/share"), not made
// here. Empty when there is no home.
std::string RescueFolder();

// "$XDG_RUNTIME_DIR", else the cache folder "$XDG_CACHE_HOME/dizado" or
// "~/.cache/dizado" (made when missing). Empty when none can be had.
std::string RuntimeFolder();

// Makes `folder` and its missing parents, new ones readable by the user only.
// True when it exists as a folder afterwards.
bool MakeFolders(const std::string& folder);

}  // namespace platform
