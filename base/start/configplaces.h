#pragma once
// Where the configuration file is looked for besides the current folder: the user's own
// configuration folder, then the system's configuration folders, as the desktop's base-directory
// rules name them. Folders end in "/"; paths are Windows-1252 bytes as the platform gives them.

#include <string>
#include <vector>

// "$XDG_CONFIG_HOME/brelcor/kv6/"; when that variable is unset or relative,
// "$HOME/.config/brelcor/kv6/"; empty when neither is usable.
std::string UserConfigFolder();
// "<folder>/brelcor/kv6/" for each folder of "$XDG_CONFIG_DIRS" (absolute ones only), in order;
// "/etc/xdg/brelcor/kv6/" when the variable is unset or empty.
std::vector<std::string> SystemConfigFolders();
