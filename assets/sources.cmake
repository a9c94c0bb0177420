# Resources compiled into the program.
list(APPEND LUMISTO_CORE_SOURCES
  assets/textures.qrc
)
list(APPEND LUMISTO_UI_SOURCES
  assets/skin.qrc
)
