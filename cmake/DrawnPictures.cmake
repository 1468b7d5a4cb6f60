# drawn_by_python(SCRIPT OUTPUT files... [ARGS args...] COMMENT text): pictures
# a Python script draws at build time, so that they can always be remade from
# source; they are drawn again when the script changes.
function(drawn_by_python script)
  cmake_parse_arguments(ARG "" "COMMENT" "OUTPUT;ARGS" ${ARGN})
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_custom_command(
    OUTPUT ${ARG_OUTPUT}
    COMMAND Python3::Interpreter ${script} ${ARG_ARGS}
    DEPENDS ${script}
    COMMENT "${ARG_COMMENT}")
endfunction()
