#include "rules/move_rule.h"

namespace veskora {

bool IsNoDestination(std::string_view destination) {
  return destination.find(kUndefinedWord) != std::string_view::npos ||
         destination.find(kProtectWord) != std::string_view::npos;
}

}  // namespace veskora
