#include "adapters/posix/link_text.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "mover/paths.h"

namespace veskora {

namespace {

std::string RealPath(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : std::string();
}

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view part = path.substr(0, slash);
    if (!part.empty()) parts.push_back(part);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return parts;
}

}  // namespace

std::string RelativePath(const std::string& fromFolder, const std::string& to) {
  const auto from = Components(fromFolder);
  const auto target = Components(to);
  std::size_t common = 0;
  while (common < from.size() && common < target.size() && from[common] == target[common]) ++common;
  std::string relative;
  for (std::size_t i = common; i < from.size(); ++i) relative += "../";
  for (std::size_t i = common; i < target.size(); ++i) relative.append(target[i]).append("/");
  if (relative.empty()) return ".";
  relative.pop_back();
  return relative;
}

std::string RebasedLinkText(const std::string& folder, const std::string& text, const std::string& destination) {
  if (text.empty() || text.front() == '/') return text;
  const std::string link = JoinPath(folder, text);
  struct stat st {};
  if (stat(link.c_str(), &st) != 0) return text;  // leads nowhere now
  // The folders on the way are resolved as the system resolves them; the last
  // step stays a name, so a link to a link still leads to that link.
  const std::string_view last = NameOf(text);
  const bool whole = last.empty() || last == "." || last == "..";
  const std::string parent = RealPath(whole ? link : std::string(ParentOf(link)));
  const std::string to = whole ? parent : JoinPath(parent, last);
  const std::string from = RealPath(destination);
  if (parent.empty() || from.empty()) return text;
  return RelativePath(from, to);
}

}  // namespace veskora
