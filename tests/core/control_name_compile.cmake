# Proves that the control vocabulary is checked by the compiler: case 0 of the source compiles,
# and each other case fails with an error on the line that carries its "fails: N" mark.
# -D COMPILER=... -D SOURCE=... -D INCLUDE=... -D CASES=N
file(READ ${SOURCE} content)
foreach(case RANGE ${CASES})
    execute_process(
        COMMAND ${COMPILER} -std=c++20 -fsyntax-only -fexec-charset=GB18030 -I${INCLUDE}
            -DCASE=${case} ${SOURCE}
        RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
    if(case EQUAL 0)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "case 0 does not compile:\n${errors}")
        endif()
        continue()
    endif()
    if(result EQUAL 0)
        message(FATAL_ERROR "case ${case} compiles, but must not")
    endif()
    string(FIND "${content}" "// fails: ${case}\n" at)
    string(SUBSTRING "${content}" 0 ${at} before)
    string(REGEX MATCHALL "\n" breaks "${before}")
    list(LENGTH breaks line)
    math(EXPR line "${line} + 1")
    get_filename_component(name ${SOURCE} NAME)
    # A constant that fails names its line in the note that leads to the error.
    if(NOT errors MATCHES "${name}:${line}:[0-9]+: +(error|in )")
        message(FATAL_ERROR "case ${case} fails, but not on line ${line}:\n${errors}")
    endif()
endforeach()
