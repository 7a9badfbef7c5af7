target_sources(veskora_gui PRIVATE
  platform/qt/desktop_folder.cpp
  platform/qt/desktop_handoff.cpp
  platform/qt/dialogs.cpp
  platform/qt/twips.cpp
  platform/qt/instance_lock.cpp
  platform/qt/settings_store.cpp
  platform/qt/unix_signal_watcher.cpp
)
