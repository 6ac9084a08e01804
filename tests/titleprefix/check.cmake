# A header line with double quotes and a backslash builds and comes out as configured.
# Run with -DSOURCE=<this folder> -DBINARY=<scratch folder>.
set(prefix "Laden \"Zur Linde\" C:\\Kasse Süd")
file(REMOVE_RECURSE "${BINARY}")
execute_process(COMMAND ${CMAKE_COMMAND} -S "${SOURCE}" -B "${BINARY}"
    "-DVELARIX_TITLE_PREFIX=${prefix}" RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "configure failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${BINARY}" RESULT_VARIABLE failed
    OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(failed)
    message(FATAL_ERROR "build failed:\n${log}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=VELARIX_TITLE_PREFIX
    "${BINARY}/titleprefix" OUTPUT_VARIABLE printed RESULT_VARIABLE failed)
if(failed OR NOT printed STREQUAL prefix)
    message(FATAL_ERROR "expected [${prefix}], got [${printed}]")
endif()
