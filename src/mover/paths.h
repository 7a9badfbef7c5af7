#pragma once

#include <string>
#include <string_view>

namespace veskora {

// The folder, "/", the name; a folder that already ends in "/" (the root) is
// not given a second one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The last component of a path: what follows its last "/".
std::string_view NameOf(std::string_view path);

// Everything before the last "/": "/" for a name in the root, "." for a bare
// name.
std::string_view ParentOf(std::string_view path);

// What follows the last "." of a name, or "" when it has none.
std::string_view ExtensionOf(std::string_view name);

}  // namespace veskora
