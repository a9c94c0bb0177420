list(APPEND LUMISTO_CORE_SOURCES
  edit/caption_layer.cpp edit/caption_layer.h
  edit/crop_geometry.cpp edit/crop_geometry.h
  edit/crop_photo.cpp edit/crop_photo.h
  edit/custom_frame.cpp edit/custom_frame.h
  edit/edit_state.cpp edit/edit_state.h
  edit/frame_mask.cpp edit/frame_mask.h
  edit/geometric_edits.cpp edit/geometric_edits.h
  edit/live_compositor.cpp edit/live_compositor.h
  edit/screen_drag.cpp edit/screen_drag.h
  edit/tone_knobs.cpp edit/tone_knobs.h
)
list(APPEND LUMISTO_UI_SOURCES
  edit/crop_dialog.cpp edit/crop_dialog.h
  edit/size_dialog.cpp edit/size_dialog.h
  edit/tool_pages_widget.cpp edit/tool_pages_widget.h
)
