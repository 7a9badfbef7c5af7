target_sources(veskora_gui PRIVATE
  editor/rule_editor.cpp
)
