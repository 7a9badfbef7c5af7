target_sources(veskora_gui PRIVATE
  platform/qt/dialogs.cpp
)
