lumisto_test(geometric_edits_test SOURCES edit/geometric_edits_test.cpp)
lumisto_test(edit_state_test SOURCES edit/edit_state_test.cpp)
lumisto_test(size_dialog_test UI SOURCES edit/size_dialog_test.cpp)
lumisto_test(live_compositor_test SOURCES edit/live_compositor_test.cpp)
