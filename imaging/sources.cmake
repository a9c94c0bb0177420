list(APPEND LUMISTO_CORE_SOURCES
  imaging/format_limits.cpp imaging/format_limits.h
  imaging/gif_writer.cpp imaging/gif_writer.h
  imaging/byte_buffer.cpp imaging/byte_buffer.h
  imaging/image_buffer.cpp imaging/image_buffer.h
  imaging/image_io.cpp imaging/image_io.h
  imaging/jpeg_codec.cpp imaging/jpeg_codec.h
  imaging/jpeg_eighth.cpp imaging/jpeg_eighth.h
  imaging/jpeg_header.cpp imaging/jpeg_header.h
  imaging/jpeg_stream.cpp imaging/jpeg_stream.h
  imaging/pixel_data_check.cpp imaging/pixel_data_check.h
  imaging/png_chunks.cpp imaging/png_chunks.h
)
