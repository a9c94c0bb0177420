lumisto_test(shipped_templates_test TIMEOUT 120 SOURCES assets/shipped_templates_test.cpp
             ${PROJECT_SOURCE_DIR}/tools/template_definitions.cpp ${PROJECT_SOURCE_DIR}/tools/template_definitions.h)
lumisto_test(shipped_artwork_test SOURCES assets/shipped_artwork_test.cpp)
lumisto_test(desktop_install_test TIMEOUT 180 SOURCES assets/desktop_install_test.cpp)
add_dependencies(desktop_install_test lumisto)
target_compile_definitions(desktop_install_test PRIVATE CMAKE_COMMAND="${CMAKE_COMMAND}"
                           LUMISTO_BINARY_DIR="${PROJECT_BINARY_DIR}")
