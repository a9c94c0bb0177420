lumisto_test(shipped_templates_test SOURCES assets/shipped_templates_test.cpp
             ${PROJECT_SOURCE_DIR}/tools/template_definitions.cpp ${PROJECT_SOURCE_DIR}/tools/template_definitions.h)
lumisto_test(shipped_artwork_test SOURCES assets/shipped_artwork_test.cpp)
