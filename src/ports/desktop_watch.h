#pragma once

#include <string>

namespace veskora {

// How a folder is watched once armed.
enum class WatchReach {
  kEverything,  // every change of the folder is reported
  kLocalOnly,   // changes made elsewhere (a network or FUSE file system) may never be reported
  kNone,        // the folder could not be watched
};

// What happened to the watched folder since the last question.
enum class WatchNews {
  kNothing,
  kChanged,      // a name was created, moved in or out, written, touched or deleted
  kOverflowed,   // events were lost: anything may have changed
  kFolderGone,   // the folder itself was deleted, moved or unmounted
  kCannotWatch,  // not armed, or the watch failed
};

// Watches the desktop folder for changes (not its sub-folders), so that a
// tick with nothing new can be skipped. Nothing here blocks.
class DesktopWatch {
 public:
  virtual ~DesktopWatch() = default;
  // Drops any earlier watch and watches this folder from now on.
  virtual WatchReach Arm(const std::string& folder) = 0;
  virtual WatchNews Poll() = 0;
};

}  // namespace veskora
