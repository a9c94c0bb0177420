list(APPEND LUMISTO_CORE_SOURCES
  compose/image_io.cpp compose/image_io.h
  compose/colour_matrix.cpp compose/colour_matrix.h
  compose/frame_effects.cpp compose/frame_effects.h
  compose/image_buffer.cpp compose/image_buffer.h
  compose/parallel_rows.h
  compose/render_composite.cpp compose/render_composite.h
  compose/render_to_file.cpp compose/render_to_file.h
  compose/texture_list.cpp compose/texture_list.h
)
