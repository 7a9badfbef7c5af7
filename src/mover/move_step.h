#pragma once

#include <string>
#include <string_view>


namespace veskora {

// The log's words for a file moved into a folder: "NAME を FOLDER へ移動しました".
std::string MoveLogMessage(std::string_view name, std::string_view folder);
// For a file an undo put back: "NAME を DESKTOP へ戻しました", never read as a move.
std::string PutBackLogMessage(std::string_view name, std::string_view desktop);

// Whether the move step would move a file into this destination: it holds
// neither marker word and is a full folder path.
bool IsMoveDestination(std::string_view destination);

}  // namespace veskora
