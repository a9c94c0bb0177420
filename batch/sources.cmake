list(APPEND LUMISTO_CORE_SOURCES
  batch/batch_entry.cpp batch/batch_entry.h
  batch/batch_job_file.cpp batch/batch_job_file.h
  batch/batch_run.cpp batch/batch_run.h
  batch/batch_save.cpp batch/batch_save.h
  batch/rename_series.cpp batch/rename_series.h
)
list(APPEND LUMISTO_UI_SOURCES
  batch/batch_page_widget.cpp batch/batch_page_widget.h
  batch/batch_progress_dialog.cpp batch/batch_progress_dialog.h
  batch/rename_series_dialog.cpp batch/rename_series_dialog.h
)
