lumisto_test(folder_listing_test SOURCES sources/folder_listing_test.cpp)
lumisto_test(grid_paging_test SOURCES sources/grid_paging_test.cpp)
lumisto_test(thumbnail_cache_test SOURCES sources/thumbnail_cache_test.cpp)
lumisto_test(photo_grid_test UI SOURCES sources/photo_grid_test.cpp)
