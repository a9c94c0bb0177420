lumisto_test(config_test SOURCES app/config_test.cpp)
lumisto_test(command_line_test SOURCES app/command_line_test.cpp)
add_dependencies(command_line_test lumisto)
