lumisto_test(command_line_test SOURCES app/command_line_test.cpp)
add_dependencies(command_line_test lumisto)
lumisto_test(window_shape_test SOURCES app/window_shape_test.cpp)
lumisto_test(main_state_test SOURCES app/main_state_test.cpp)
lumisto_test(main_window_test UI SOURCES app/main_window_test.cpp)
lumisto_test(window_screenshot_test SOURCES app/window_screenshot_test.cpp)
add_dependencies(window_screenshot_test lumisto lumisto_data)
# xvfb-run -a picks the first display number without a lock file: two started at once may pick the
# same one, and the loser's program cannot connect. The tests on Xvfb take turns.
set_tests_properties(window_screenshot_test PROPERTIES RESOURCE_LOCK xvfb)
lumisto_test(screen_fade_test SOURCES app/screen_fade_test.cpp)
lumisto_test(batch_command_test SOURCES app/batch_command_test.cpp)
add_dependencies(batch_command_test lumisto)
lumisto_test(main_window_batch_test UI SOURCES app/main_window_batch_test.cpp)
add_dependencies(main_window_batch_test lumisto)
lumisto_test(start_folders_test SOURCES app/start_folders_test.cpp)
lumisto_test(open_request_test UI SOURCES app/open_request_test.cpp)
add_dependencies(open_request_test lumisto)
lumisto_test(render_options_test SOURCES app/render_options_test.cpp)
lumisto_test(main_window_edit_test UI SOURCES app/main_window_edit_test.cpp)
add_dependencies(main_window_edit_test lumisto)
lumisto_test(style_command_test SOURCES app/style_command_test.cpp)
add_dependencies(style_command_test lumisto)
# The list highlight once more on an X server (Xvfb), where the desktop's platform theme may bring
# its own highlight colour.
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  add_test(NAME main_window_list_highlight_xvfb
           COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:main_window_test>
                   ListHighlightWearsTheSkin)
  set_tests_properties(main_window_list_highlight_xvfb PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb;LUMISTO_HOME="
                       RESOURCE_LOCK xvfb)
endif()
lumisto_test(camera_feed_test SOURCES app/camera_feed_test.cpp)
lumisto_test(main_window_camera_test UI SOURCES app/main_window_camera_test.cpp)
lumisto_test(main_window_photo_watch_test UI SOURCES app/main_window_photo_watch_test.cpp)
add_dependencies(main_window_photo_watch_test lumisto)
set_tests_properties(main_window_photo_watch_test PROPERTIES TIMEOUT 120)
