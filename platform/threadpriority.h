#pragma once

namespace platform {

// Lowers the calling thread's scheduling priority one step below the process's
// (Linux: the thread's nice value, which the default scheduler heeds where Qt's thread
// priority changes nothing). False when it stays as it was.
bool lowerThisThreadsPriority();

}  // namespace platform
