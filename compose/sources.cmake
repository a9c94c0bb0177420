list(APPEND LUMISTO_CORE_SOURCES
  compose/gif_writer.cpp compose/gif_writer.h
  compose/huge_page_bytes.cpp compose/huge_page_bytes.h
  compose/image_io.cpp compose/image_io.h
  compose/display_mode.h
  compose/preview.cpp compose/preview.h
  compose/screen_fade.cpp compose/screen_fade.h
  compose/jpeg_codec.cpp compose/jpeg_codec.h
  compose/jpeg_header.cpp compose/jpeg_header.h
  compose/colour_matrix.cpp compose/colour_matrix.h
  compose/frame_effects.cpp compose/frame_effects.h
  compose/image_buffer.cpp compose/image_buffer.h
  compose/parallel_rows.h
  compose/render_composite.cpp compose/render_composite.h
  compose/render_to_file.cpp compose/render_to_file.h
  compose/texture_list.cpp compose/texture_list.h
)
list(APPEND LUMISTO_UI_SOURCES
  compose/preview_widget.cpp compose/preview_widget.h
  compose/screen_view.cpp compose/screen_view.h
)
