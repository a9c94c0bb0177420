list(APPEND LUMISTO_CORE_SOURCES
  edit/tone_matrix.h
)
