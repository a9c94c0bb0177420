list(APPEND LUMISTO_CORE_SOURCES
  styles/frame_style.cpp styles/frame_style.h
  styles/style_editor_values.cpp styles/style_editor_values.h
  styles/template_files.cpp styles/template_files.h
  styles/template_library.cpp styles/template_library.h
  styles/texture_list.cpp styles/texture_list.h
  styles/texture_palette.h
)
list(APPEND LUMISTO_UI_SOURCES
  styles/effect_page_widget.cpp styles/effect_page_widget.h
  styles/new_style_dialog.cpp styles/new_style_dialog.h
  styles/style_editor_dialog.cpp styles/style_editor_dialog.h
  styles/template_grid_widget.cpp styles/template_grid_widget.h
  styles/texture_picker_widget.cpp styles/texture_picker_widget.h
)
