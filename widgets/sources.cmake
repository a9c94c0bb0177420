list(APPEND LUMISTO_CORE_SOURCES
  widgets/skin_art.cpp widgets/skin_art.h
  widgets/skin_colours.cpp widgets/skin_colours.h
)
list(APPEND LUMISTO_UI_SOURCES
  widgets/flat_button_widget.cpp widgets/flat_button_widget.h
  widgets/hot_label_widget.cpp widgets/hot_label_widget.h
  widgets/scroll_buttons_widget.cpp widgets/scroll_buttons_widget.h
  widgets/thumbnail_grid_widget.cpp widgets/thumbnail_grid_widget.h
)
