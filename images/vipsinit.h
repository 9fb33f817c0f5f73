#pragma once

namespace images {

// Starts libvips once per process, whoever asks first; thread-safe.
void ensureVips();

}  // namespace images
