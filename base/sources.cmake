list(APPEND LUMISTO_CORE_SOURCES
  base/config.cpp base/config.h
  base/folder_listing.cpp base/folder_listing.h
  base/arrow_keys.h
  base/guarded_call.h
  base/ini_file.cpp base/ini_file.h
  base/lumisto_error.h
  base/metadata_policy.h
  base/output_file.cpp base/output_file.h
  base/codec_messages.cpp base/codec_messages.h
  base/parallel_rows.h
  base/work_pool.cpp base/work_pool.h
  base/screen_size.h
  base/strict_int.cpp base/strict_int.h
  base/usage_error.h
  base/user_dialogs.h
)
