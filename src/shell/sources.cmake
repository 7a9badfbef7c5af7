target_sources(veskora_gui PRIVATE)
