target_sources(veskora_gui PRIVATE
  editor/choice_entries.cpp
  editor/rule_commit.cpp
  editor/rule_editor.cpp
  editor/rule_editor_layout.cpp
)
