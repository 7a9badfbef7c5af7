#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace veskora {

class Clock;
class DataFiles;
class DesktopHandoff;
class DesktopWatch;
class Dialogs;
class FileSystem;
class MoveJournal;
class SettingsStore;
class Tray;

// What the window needs from the platform, so tests can put their own in.
struct ShellServices {
  Dialogs& dialogs;
  DesktopHandoff& handoff;
  SettingsStore& settings;
  Tray& tray;
  const Clock& clock;
  // What the scan cycle lists, asks and moves through.
  FileSystem& files;
  // The rule file and the move log.
  DataFiles& dataFiles;
  // The user's desktop folder, looked up afresh for every cycle; empty when
  // there is none to tidy.
  std::function<std::string()> desktopFolder;
  // Where the rule file and the move log live. Asked only after the
  // single-instance check, since finding it may create a folder.
  std::function<std::string()> dataFolder;
  // Whether the desktop offers a tray at this moment.
  std::function<bool()> trayAvailable;
  // Set when the program has been asked to end: a cycle then stops early.
  const std::atomic<bool>* ending = nullptr;
  // Where cycles record their moves so that they can be undone; without one
  // nothing is recorded.
  MoveJournal* journal = nullptr;
  // Tells whether the desktop changed, so that a tick at rest skips its
  // cycle; without one every tick runs.
  DesktopWatch* watch = nullptr;
};

}  // namespace veskora
