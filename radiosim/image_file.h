// Memory images on disk: exactly 65,536 raw bytes, address 0 first.
#pragma once

#include <string>

#include "radiosim/radio_memory.h"

namespace radiosim {

// Reads an image; false with a message for a person in `error` when the file cannot be read
// or is not exactly kMemorySize bytes. `memory` is changed only on success.
bool LoadImage(const std::string& path, RadioMemory& memory, std::string& error);

// Writes the image to a temporary file beside `path` and renames it over `path`, so a reader
// sees either the old file or the whole new one.
bool SaveImage(const std::string& path, const RadioMemory& memory, std::string& error);

} // namespace radiosim
