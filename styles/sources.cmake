list(APPEND LUMISTO_CORE_SOURCES
  styles/frame_style.cpp styles/frame_style.h
  styles/ini_file.cpp styles/ini_file.h
)
