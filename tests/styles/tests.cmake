lumisto_test(frame_style_test SOURCES styles/frame_style_test.cpp)
lumisto_test(template_library_test SOURCES styles/template_library_test.cpp)
lumisto_test(template_grid_test UI SOURCES styles/template_grid_test.cpp)
lumisto_test(texture_list_test SOURCES styles/texture_list_test.cpp)
