# Cheap, deterministic checks of the executable as shipped, which run no
# program (label "image"): its size and PE hardening, and a reproducible
# build. Speed and size figures themselves belong to bench/run.
add_test(NAME image_checks
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/image_checks.sh $<TARGET_FILE:CommentToExif>)

add_test(NAME image_reproducible
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/image_reproducible.sh ${CMAKE_COMMAND}
                 ${PROJECT_SOURCE_DIR} ${CMAKE_TOOLCHAIN_FILE} "${CMAKE_BUILD_TYPE}")
set_tests_properties(image_reproducible PROPERTIES WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

set_tests_properties(image_checks image_reproducible PROPERTIES LABELS image)
