list(APPEND LUMISTO_CORE_SOURCES
  sources/camera_snapshot.cpp sources/camera_snapshot.h
  sources/frame_source.cpp sources/frame_source.h
  sources/photo_file_watch.cpp sources/photo_file_watch.h
  sources/photo_folder.cpp sources/photo_folder.h
  sources/qt_camera_source.cpp sources/qt_camera_source.h
  sources/synthetic_frame_source.cpp sources/synthetic_frame_source.h
)
list(APPEND LUMISTO_UI_SOURCES
  sources/camera_window.cpp sources/camera_window.h
  sources/photo_grid_widget.cpp sources/photo_grid_widget.h
)
