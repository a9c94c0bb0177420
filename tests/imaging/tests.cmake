lumisto_test(image_io_test SOURCES imaging/image_io_test.cpp imaging/image_fixtures.h)
target_link_libraries(image_io_test PRIVATE PkgConfig::TURBOJPEG)  # builds CMYK files
lumisto_test(image_encode_test SOURCES imaging/image_encode_test.cpp imaging/image_fixtures.h)
lumisto_test(decode_limits_test SOURCES imaging/decode_limits_test.cpp)
target_link_libraries(decode_limits_test PRIVATE PkgConfig::TURBOJPEG)  # builds CMYK files
# Under AddressSanitizer an allocation above 256 MB ends the test: a small file that makes a reader
# take that much is the fault these tests look for.
set_property(TEST decode_limits_test APPEND PROPERTY ENVIRONMENT
             "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:max_allocation_size_mb=256")
lumisto_test(output_safety_test SOURCES imaging/output_safety_test.cpp)
lumisto_test(image_scale_test SOURCES imaging/image_scale_test.cpp)
lumisto_test(jpeg_stream_test SOURCES imaging/jpeg_stream_test.cpp imaging/image_fixtures.h)
target_link_libraries(jpeg_stream_test PRIVATE PkgConfig::TURBOJPEG)  # writes 4:2:2, 4:4:4 and grey files
lumisto_test(jpeg_eighth_test SOURCES imaging/jpeg_eighth_test.cpp)
target_link_libraries(jpeg_eighth_test PRIVATE PkgConfig::LIBJPEG)  # restart markers, optimised tables
lumisto_test(format_limits_test SOURCES imaging/format_limits_test.cpp)
lumisto_test(photo_formats_test SOURCES imaging/photo_formats_test.cpp imaging/format_tools.h)
target_link_libraries(photo_formats_test PRIVATE PkgConfig::HEIF)  # HEIC files with thumbnail images of any shape
set_tests_properties(photo_formats_test PROPERTIES TIMEOUT 120)
lumisto_test(colour_profile_test SOURCES imaging/colour_profile_test.cpp imaging/format_tools.h)
# Display P3 and CMYK profiles for tificc; the stored pixels of HEIF files; CMYK JPEGs
target_link_libraries(colour_profile_test PRIVATE PkgConfig::LCMS2 PkgConfig::HEIF PkgConfig::TURBOJPEG)
set_tests_properties(colour_profile_test PROPERTIES TIMEOUT 120)
