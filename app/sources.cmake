list(APPEND LUMISTO_CORE_SOURCES
  app/app_folder.cpp app/app_folder.h
  app/command_line.cpp app/command_line.h
  app/config.cpp app/config.h
  app/lumisto_error.h
  app/strict_int.cpp app/strict_int.h
)
list(APPEND LUMISTO_UI_SOURCES
  app/gui_main.cpp app/gui_main.h
)
