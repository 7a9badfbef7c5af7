#pragma once

#include <string>

namespace veskora {

// The text a symbolic link needs in the folder `destination` to lead where the
// link with `text` leads from `folder`. An absolute link keeps its text, and so
// does one that leads nowhere (it is moved as it is).
std::string RebasedLinkText(const std::string& folder, const std::string& text, const std::string& destination);

// The relative path from one absolute, canonical folder to an absolute path.
std::string RelativePath(const std::string& fromFolder, const std::string& to);

}  // namespace veskora
