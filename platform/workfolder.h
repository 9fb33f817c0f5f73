#pragma once

#include <QString>

namespace platform {

// The program's working folder, where Data.csv and banner.gif live: the user's
// private cache folder ($XDG_CACHE_HOME/Korvella/, by default ~/.cache/Korvella/),
// created with mode 0700 when missing, with a trailing separator. A private folder
// keeps other local users from reading the order or planting links where the program
// writes, and survives a reboot. Empty when the folder cannot be made, so names are
// then relative to the current directory.
QString GetTempFolder();

}  // namespace platform
