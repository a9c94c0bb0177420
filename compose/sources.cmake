list(APPEND LUMISTO_CORE_SOURCES
  compose/colour_matrix.cpp compose/colour_matrix.h
  compose/display_mode.h
  compose/frame_effects.cpp compose/frame_effects.h
  compose/pixel_over.h
  compose/pixel_quad_sse2.h
  compose/preview.cpp compose/preview.h
  compose/render_composite.cpp compose/render_composite.h
  compose/style_thumbnail.cpp compose/style_thumbnail.h
  compose/tone_matrix.h
)
