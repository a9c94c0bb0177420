lumisto_test(command_line_test SOURCES app/command_line_test.cpp)
add_dependencies(command_line_test lumisto)
lumisto_test(window_shape_test SOURCES app/window_shape_test.cpp)
lumisto_test(main_state_test SOURCES app/main_state_test.cpp)
lumisto_test(main_window_test UI SOURCES app/main_window_test.cpp)
lumisto_test(window_screenshot_test SOURCES app/window_screenshot_test.cpp)
add_dependencies(window_screenshot_test lumisto lumisto_data)
lumisto_test(screen_fade_test SOURCES app/screen_fade_test.cpp)
lumisto_test(open_request_test UI SOURCES app/open_request_test.cpp)
add_dependencies(open_request_test lumisto)
# The list highlight once more on an X server (Xvfb), where the desktop's platform theme may bring
# its own highlight colour.
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  add_test(NAME main_window_list_highlight_xvfb
           COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:main_window_test>
                   ListHighlightWearsTheSkin)
  set_tests_properties(main_window_list_highlight_xvfb PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb;LUMISTO_HOME=")
endif()
