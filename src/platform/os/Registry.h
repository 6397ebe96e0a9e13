#pragma once

#include <string>

// Registry values are INI files read through QSettings: the key "\Software\<Org>\<App>\<group>\..." names
// the file <dir>/<Org>/<App>.ini and the group "<group>/..." inside it (no group: the [General] section).
// LocalMachine searches the system configuration directories, $XDG_CONFIG_DIRS (default /etc/xdg), in
// order; CurrentUser first $XDG_CONFIG_HOME (default ~/.config), then the system ones.
// $SEWELLA_REGISTRY_PATH (directories separated by ':'), when set, replaces the whole search path.
enum class RegistryRoot { LocalMachine, CurrentUser };

// The string value, or "" when the key or the value does not exist or the key is not of the form above.
// The first directory whose file holds the value wins. A list value reads as its items joined with ", ".
std::string ReadRegistryString(RegistryRoot Root, const std::string& Key, const std::string& Value);
