lumisto_test(edit_state_test SOURCES edit/edit_state_test.cpp)
lumisto_test(live_compositor_test SOURCES edit/live_compositor_test.cpp)
