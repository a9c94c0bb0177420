lumisto_test(render_composite_test SOURCES compose/render_composite_test.cpp)
lumisto_test(image_io_test SOURCES compose/image_io_test.cpp compose/image_fixtures.h)
target_link_libraries(image_io_test PRIVATE PkgConfig::TURBOJPEG)  # builds CMYK files
lumisto_test(image_encode_test SOURCES compose/image_encode_test.cpp compose/image_fixtures.h)
lumisto_test(render_to_file_test SOURCES compose/render_to_file_test.cpp)
lumisto_test(composite_rows_test SOURCES compose/composite_rows_test.cpp)
lumisto_test(preview_test SOURCES compose/preview_test.cpp)
lumisto_test(screen_fade_test SOURCES compose/screen_fade_test.cpp)
lumisto_test(texture_list_test SOURCES compose/texture_list_test.cpp)
