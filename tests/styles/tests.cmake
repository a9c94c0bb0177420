lumisto_test(ini_file_test SOURCES styles/ini_file_test.cpp)
lumisto_test(frame_style_test SOURCES styles/frame_style_test.cpp)
