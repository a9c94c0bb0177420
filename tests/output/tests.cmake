lumisto_test(mail_request_test SOURCES output/mail_request_test.cpp)
lumisto_test(print_job_test UI SOURCES output/print_job_test.cpp)
