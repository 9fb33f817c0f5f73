#pragma once

#include <string>

namespace labd {

// The service's advertising banner: an animated GIF (640 x 200, looping), drawn here
// so that the service ships no binary files.
const std::string& bannerGif();

}  // namespace labd
