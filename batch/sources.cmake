list(APPEND LUMISTO_UI_SOURCES
  batch/batch_page_widget.cpp batch/batch_page_widget.h
)
