lumisto_test(photo_grid_test UI SOURCES sources/photo_grid_test.cpp)
