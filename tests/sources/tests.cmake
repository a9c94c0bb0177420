lumisto_test(photo_grid_test UI SOURCES sources/photo_grid_test.cpp)
lumisto_test(frame_source_test SOURCES sources/frame_source_test.cpp)
lumisto_test(camera_snapshot_test SOURCES sources/camera_snapshot_test.cpp)
