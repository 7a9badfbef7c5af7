#include "mover/arriving.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace veskora {

namespace {

// What download tools on a Linux desktop leave while a download runs. Every
// suffix begins with "." (the scan below relies on it).
struct Marker {
  std::string_view suffix;
  bool folder;          // the marker is a folder, not a file
  bool unfinishedName;  // no finished file carries it: the name alone says "arriving"
};

constexpr std::array<Marker, 6> kMarkers = {{
    // Firefox beside its empty placeholder; Transmission, yt-dlp and KDE name
    // the partial file so, and a paused download lies there alone: filed, its
    // resumption would start anew. A finished file rarely ends so, and can be
    // moved by hand.
    {".part", false, true},
    {".crdownload", false, true},  // Chromium and the browsers built on it
    {".wkdownload", false, true},  // WebKitGTK (GNOME Web)
    {".aria2", false, false},      // aria2's control file beside the partial data
    {".!qB", false, true},         // qBittorrent
    {".download", true, false},    // a Safari-style bundle folder
}};

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() > suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Whether `entry`, named `suffix` after some file's name, is a marker for it.
bool IsMarker(std::string_view suffix, const FolderEntry& entry) {
  return std::any_of(kMarkers.begin(), kMarkers.end(),
                     [&](const Marker& m) { return m.suffix == suffix && m.folder != entry.file; });
}

bool ByName(const FolderEntry& entry, std::string_view name) { return entry.name < name; }

// A marker NAME.xxx sorts after NAME, among the names that begin with NAME,
// and usually within a step or two of it. A long run of names that begin
// with NAME (made to make this scan slow, say) is searched marker by marker
// instead, so that a cycle never costs more than n log n.
bool MarkerBeside(const FolderListing& listing, std::size_t index) {
  constexpr std::size_t kSteps = 8;
  const std::string_view name = listing[index].name;
  const std::size_t last = std::min(listing.size(), index + 1 + kSteps);
  for (std::size_t j = index + 1; j < last; ++j) {
    const std::string_view other = listing[j].name;
    if (other.size() <= name.size() || other.substr(0, name.size()) != name) return false;
    const std::string_view suffix = other.substr(name.size());
    if (suffix.front() > '.') return false;  // past every NAME.xxx
    if (IsMarker(suffix, listing[j])) return true;
  }
  if (last == listing.size()) return false;
  std::string wanted;
  for (const Marker& m : kMarkers) {
    wanted.assign(name).append(m.suffix);
    const auto found = std::lower_bound(listing.begin() + static_cast<std::ptrdiff_t>(last), listing.end(),
                                        std::string_view(wanted), ByName);
    if (found != listing.end() && found->name == wanted && found->file != m.folder) return true;
  }
  return false;
}

// The file is a marker whose own file lies beside it.
bool FileBeside(const FolderListing& listing, std::size_t index) {
  const std::string_view name = listing[index].name;
  for (const Marker& m : kMarkers) {
    if (m.folder || !EndsWith(name, m.suffix)) continue;
    const std::string_view stem = name.substr(0, name.size() - m.suffix.size());
    const auto end = listing.begin() + static_cast<std::ptrdiff_t>(index);
    const auto found = std::lower_bound(listing.begin(), end, stem, ByName);
    if (found != end && found->name == stem && found->file) return true;
  }
  return false;
}

}  // namespace

bool StillArriving(const FolderListing& listing, std::size_t index) {
  if (index >= listing.size()) return false;
  const std::string_view name = listing[index].name;
  for (const Marker& m : kMarkers) {
    if (m.unfinishedName && EndsWith(name, m.suffix)) return true;
  }
  return MarkerBeside(listing, index) || FileBeside(listing, index);
}

}  // namespace veskora
