#pragma once

#include <QString>

#include "platform/error.h"

namespace platform {

// The working folder could not be made or made private; the text names the folder and
// the reason.
class WorkFolderError : public Error {
public:
    using Error::Error;
};

// The program's working folder, where Data.csv and banner.gif live: the user's
// private cache folder ($XDG_CACHE_HOME/Korvella/, by default ~/.cache/Korvella/),
// created with mode 0700 when missing, with a trailing separator. A private folder
// keeps other local users from reading the order or planting links where the program
// writes, and survives a reboot. There is no fallback: when the folder cannot be made,
// is not a folder or cannot be made private, WorkFolderError is raised.
QString GetTempFolder();

}  // namespace platform
