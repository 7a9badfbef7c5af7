#pragma once

#include <string>
#include <string_view>

#include "mover/move_log.h"
#include "ports/file_system.h"

namespace veskora {

// The log's words for a file moved into a folder: "NAME を FOLDER へ移動しました".
std::string MoveLogMessage(std::string_view name, std::string_view folder);
// For a file an undo put back: "NAME を DESKTOP へ戻しました", never read as a move.
std::string PutBackLogMessage(std::string_view name, std::string_view desktop);

// Whether the move step would move a file into this destination: it holds
// neither marker word and is a full folder path.
bool IsMoveDestination(std::string_view destination);

// Moves folder/name into the destination folder and logs it. A marker
// destination (or any containing the marker words) does nothing. Every
// failure is swallowed here on purpose: the file stays where it is and the
// next cycle tries again. True when the file was moved (and logged);
// `arrived`, when given, then holds the file as it lies in the destination.
bool MoveFileByRule(const std::string& folder, const std::string& name, const std::string& destination,
                    FileSystem& files, MoveLog& log, FileIdentity* arrived = nullptr);

}  // namespace veskora
