# Writes the demonstration script into a header as a raw string literal, so `tessivo demo`
# needs no file beside the binary. Called with -DINPUT=demo.tvs -DOUTPUT=demo_script.h, and
# optionally -DNAME=kOtherName for another embedded text (the name defaults to kDemoScript).
if(NOT NAME)
  set(NAME kDemoScript)
endif()
get_filename_component(input_name "${INPUT}" NAME)
file(READ "${INPUT}" content)
string(FIND "${content}" ")tvs\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} must not contain the text )tvs\"")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${input_name} by embed_script.cmake; do not edit.\n#pragma once\n"
  "inline constexpr char ${NAME}[] = R\"tvs(${content})tvs\";\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
