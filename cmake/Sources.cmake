# Explicit source lists of the two libraries.
set(LUMISTO_CORE_SOURCES
  app/app_folder.cpp app/app_folder.h
  app/command_line.cpp app/command_line.h
  app/config.cpp app/config.h
  app/strict_int.cpp app/strict_int.h
  app/lumisto_error.h
  styles/frame_style.cpp styles/frame_style.h
  styles/ini_file.cpp styles/ini_file.h
)

set(LUMISTO_UI_SOURCES
  app/gui_main.cpp app/gui_main.h
)
