list(APPEND LUMISTO_CORE_SOURCES
  app/app_folder.cpp app/app_folder.h
  app/command_line.cpp app/command_line.h
  app/config.cpp app/config.h
  app/guarded_call.h
  app/lumisto_error.h
  app/main_state.cpp app/main_state.h
  app/skin_art.cpp app/skin_art.h
  app/strict_int.cpp app/strict_int.h
  app/user_dialogs.h
  app/window_shape.cpp app/window_shape.h
)
list(APPEND LUMISTO_UI_SOURCES
  app/flat_button_widget.cpp app/flat_button_widget.h
  app/gui_main.cpp app/gui_main.h
  app/main_window.cpp app/main_window.h
  app/message_box_dialog.cpp app/message_box_dialog.h
  app/scroll_buttons_widget.cpp app/scroll_buttons_widget.h
  app/title_bar_widget.cpp app/title_bar_widget.h
  app/toolbar_widget.cpp app/toolbar_widget.h
)
