lumisto_test(mail_request_test SOURCES output/mail_request_test.cpp)
lumisto_test(print_job_test UI SOURCES output/print_job_test.cpp)
lumisto_test(output_commands_test UI SOURCES output/output_commands_test.cpp)
add_dependencies(output_commands_test lumisto)
