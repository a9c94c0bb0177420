lumisto_test(config_test SOURCES base/config_test.cpp)
lumisto_test(ini_file_test SOURCES base/ini_file_test.cpp)
lumisto_test(folder_listing_test SOURCES base/folder_listing_test.cpp)
lumisto_test(strict_int_test SOURCES base/strict_int_test.cpp)
