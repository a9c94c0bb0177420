list(APPEND LUMISTO_CORE_SOURCES
  sources/folder_listing.cpp sources/folder_listing.h
  sources/grid_paging.cpp sources/grid_paging.h
  sources/photo_folder.cpp sources/photo_folder.h
  sources/thumbnail_cache.cpp sources/thumbnail_cache.h
  sources/thumbnail_page.cpp sources/thumbnail_page.h
)
list(APPEND LUMISTO_UI_SOURCES
  sources/hot_label_widget.cpp sources/hot_label_widget.h
  sources/photo_grid_widget.cpp sources/photo_grid_widget.h
  sources/thumbnail_grid_widget.cpp sources/thumbnail_grid_widget.h
)
