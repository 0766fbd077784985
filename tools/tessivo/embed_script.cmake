# Writes the demonstration script into a header as a raw string literal, so `tessivo demo`
# needs no file beside the binary. Called with -DINPUT=demo.tvs -DOUTPUT=demo_script.h.
file(READ "${INPUT}" content)
string(FIND "${content}" ")tvs\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} must not contain the text )tvs\"")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from demo.tvs by embed_script.cmake; do not edit.\n#pragma once\n"
  "inline constexpr char kDemoScript[] = R\"tvs(${content})tvs\";\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
