list(APPEND LUMISTO_CORE_SOURCES
  browse/grid_keys.cpp browse/grid_keys.h
  browse/grid_paging.cpp browse/grid_paging.h
  browse/thumbnail_cache.cpp browse/thumbnail_cache.h
  browse/thumbnail_loader.cpp browse/thumbnail_loader.h
  browse/thumbnail_page.cpp browse/thumbnail_page.h
)
