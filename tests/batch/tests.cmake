lumisto_test(batch_entry_test SOURCES batch/batch_entry_test.cpp)
lumisto_test(batch_job_file_test SOURCES batch/batch_job_file_test.cpp)
lumisto_test(batch_run_test TIMEOUT 120 SOURCES batch/batch_run_test.cpp)
