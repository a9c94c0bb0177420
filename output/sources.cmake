list(APPEND LUMISTO_CORE_SOURCES
  output/input_files.cpp output/input_files.h
  output/mail_request.cpp output/mail_request.h
  output/render_arguments.cpp output/render_arguments.h
  output/render_to_file.cpp output/render_to_file.h
  output/scratch_files.cpp output/scratch_files.h
)
list(APPEND LUMISTO_UI_SOURCES
  output/output_commands.cpp output/output_commands.h
  output/print_job.cpp output/print_job.h
)
