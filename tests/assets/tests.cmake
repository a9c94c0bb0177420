lumisto_test(shipped_templates_test SOURCES assets/shipped_templates_test.cpp
             ${PROJECT_SOURCE_DIR}/tools/template_definitions.cpp ${PROJECT_SOURCE_DIR}/tools/template_definitions.h)
lumisto_test(shipped_artwork_test SOURCES assets/shipped_artwork_test.cpp)
lumisto_test(desktop_install_test SOURCES assets/desktop_install_test.cpp)
add_dependencies(desktop_install_test lumisto)
target_compile_definitions(desktop_install_test PRIVATE CMAKE_COMMAND="${CMAKE_COMMAND}"
                           LUMISTO_BINARY_DIR="${PROJECT_BINARY_DIR}")
# The Debian package of this build, unpacked and run (cpack, dpkg-shlibdeps and lintian take a while).
lumisto_test(deb_package_test SOURCES assets/deb_package_test.cpp)
add_dependencies(deb_package_test lumisto lumisto_package_files)
target_compile_definitions(deb_package_test PRIVATE CPACK_COMMAND="${CMAKE_CPACK_COMMAND}"
                           LUMISTO_BINARY_DIR="${PROJECT_BINARY_DIR}")
set_tests_properties(deb_package_test PROPERTIES TIMEOUT 600)
