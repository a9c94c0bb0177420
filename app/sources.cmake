list(APPEND LUMISTO_CORE_SOURCES
  app/app_folder.cpp app/app_folder.h
  app/batch_command.cpp app/batch_command.h
  app/camera_feed.cpp app/camera_feed.h
  app/command_line.cpp app/command_line.h
  app/dropped_files.cpp app/dropped_files.h
  app/edit_history.cpp app/edit_history.h
  app/instance_link.cpp app/instance_link.h
  app/style_command.cpp app/style_command.h
  app/main_state.cpp app/main_state.h
  app/open_request.cpp app/open_request.h
  app/render_options.cpp app/render_options.h
  app/screen_fade.cpp app/screen_fade.h
  app/shortcut_table.cpp app/shortcut_table.h
  app/start_folders.cpp app/start_folders.h
  app/tool_placement.cpp app/tool_placement.h
  app/user_data_folder.cpp app/user_data_folder.h
  app/window_shape.cpp app/window_shape.h
)
list(APPEND LUMISTO_UI_SOURCES
  app/gui_main.cpp app/gui_main.h
  app/main_window.cpp app/main_window.h
  app/main_window_batch.cpp
  app/main_window_camera.cpp
  app/main_window_drop.cpp
  app/main_window_keys.cpp
  app/main_window_undo.cpp
  app/main_window_photo_watch.cpp
  app/message_box_dialog.cpp app/message_box_dialog.h
  app/preview_widget.cpp app/preview_widget.h
  app/screen_view.cpp app/screen_view.h
  app/title_bar_widget.cpp app/title_bar_widget.h
  app/toolbar_widget.cpp app/toolbar_widget.h
)
