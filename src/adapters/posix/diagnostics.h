#pragma once

#include <string_view>

namespace veskora {

// Tells whoever watches the program's standard error about trouble that has
// no other place to go (the window shows moves only). Never fails.
void Diagnose(std::string_view message);

}  // namespace veskora
