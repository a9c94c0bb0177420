list(APPEND LUMISTO_CORE_SOURCES
  compose/image_io.cpp compose/image_io.h
  compose/render_composite.cpp compose/render_composite.h
  compose/texture_list.cpp compose/texture_list.h
)
