list(APPEND LUMISTO_CORE_SOURCES
  imaging/format_limits.cpp imaging/format_limits.h
  imaging/gif_writer.cpp imaging/gif_writer.h
  imaging/heif_codec.cpp imaging/heif_codec.h
  imaging/avif_writer.cpp imaging/avif_writer.h
  imaging/byte_buffer.cpp imaging/byte_buffer.h
  imaging/colour_profile.cpp imaging/colour_profile.h
  imaging/decoded_picture.h
  imaging/image_buffer.cpp imaging/image_buffer.h
  imaging/image_io.cpp imaging/image_io.h
  imaging/image_scale.cpp imaging/image_scale.h
  imaging/jpeg_codec.cpp imaging/jpeg_codec.h
  imaging/jpeg_eighth.cpp imaging/jpeg_eighth.h
  imaging/jpeg_header.cpp imaging/jpeg_header.h
  imaging/jpeg_stream.cpp imaging/jpeg_stream.h
  imaging/jxl_codec.cpp imaging/jxl_codec.h
  imaging/jxl_writer.cpp imaging/jxl_writer.h
  imaging/photo_metadata.cpp imaging/photo_metadata.h
  imaging/pixel_data_check.cpp imaging/pixel_data_check.h
  imaging/png_chunks.cpp imaging/png_chunks.h
  imaging/row_stream.cpp imaging/row_stream.h
  imaging/webp_codec.cpp imaging/webp_codec.h
  imaging/webp_stream.cpp imaging/webp_stream.h
  imaging/webp_writer.cpp imaging/webp_writer.h
)
