list(APPEND LUMISTO_CORE_SOURCES
  sources/photo_folder.cpp sources/photo_folder.h
)
list(APPEND LUMISTO_UI_SOURCES
  sources/photo_grid_widget.cpp sources/photo_grid_widget.h
)
