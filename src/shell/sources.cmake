target_sources(veskora_gui PRIVATE
  shell/app_icon.cpp
  shell/app_settings.cpp
  shell/button_pictures.cpp
  shell/form1.cpp
  shell/main_menus.cpp
  shell/picture_button.cpp
  shell/program.cpp
  shell/rule_list_model.cpp
  shell/rule_list_view.cpp
  shell/rule_selection_model.cpp
  shell/window_layout.cpp
)
