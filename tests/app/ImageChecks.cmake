# Cheap, deterministic checks of the executable as shipped: its size and PE
# hardening, a reproducible build, and the system calls that write the comment
# file. Speed and size figures themselves belong to bench/run.
add_test(NAME image_checks
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/image_checks.sh $<TARGET_FILE:CommentToExif>)

add_test(NAME image_reproducible
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/image_reproducible.sh ${CMAKE_COMMAND}
                 ${PROJECT_SOURCE_DIR} ${CMAKE_TOOLCHAIN_FILE} "${CMAKE_BUILD_TYPE}")

add_test(NAME syscalls_output_file
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/syscalls_output_file.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
                 $<TARGET_FILE:CommentToExif>)
set_tests_properties(image_reproducible syscalls_output_file PROPERTIES
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(syscalls_output_file PROPERTIES RESOURCE_LOCK display TIMEOUT 120)
