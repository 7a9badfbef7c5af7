#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veskora {

// The whole content of a file; std::nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes a temporary file beside the target, syncs it and renames it over the
// target, so the target is either the old or the new content, never a part.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Appends the bytes with one write to a file opened for appending (created
// when missing) and closes it again. Nothing stays open between calls.
bool AppendToFile(const std::string& path, std::string_view bytes);

}  // namespace veskora
