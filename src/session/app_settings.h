#pragma once

namespace veskora {

class SettingsStore;

// The values the program keeps between runs, as it uses them.
struct AppSettings {
  double width = 8000;   // outer width of the window in twips
  double height = 5000;  // outer height in twips
  int state = 0;         // 0 normal, 1 minimized (in the tray), 2 maximized
  bool automove = true;
  bool notify = true;  // a notification after each cycle that moved files
};

// Absent keys and texts that cannot be used read as the defaults above, with
// one exception kept from the original: a width or height text that does not
// start with a number reads 0 (the layout then raises it to the minimum).
AppSettings ReadAppSettings(const SettingsStore& store);

// Writes width, height, state and automove, in that order, in their text
// forms: whole numbers, and "True"/"False".
void WriteAppSettings(SettingsStore& store, const AppSettings& settings);

// Writes the automatic-move switch alone (it is saved as it changes too, so
// that veskora-cli sees what the window shows).
void WriteAutomove(SettingsStore& store, bool automove);
// The notification switch, saved as it changes (and only then).
void WriteNotify(SettingsStore& store, bool notify);

}  // namespace veskora
