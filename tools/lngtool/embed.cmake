# cmake -DSCRIPT=<rc> -DIDS=<header> -DOUTPUT=<cpp> -P embed.cmake
# Writes both files' bytes as NUL-terminated char arrays.
function(embed file name out)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(REGEX REPLACE "(([^,]*,){16})" "\\1\n    " bytes "${bytes}")
  set(${out} "extern const char ${name}[] = {\n    ${bytes}0};\n" PARENT_SCOPE)
endfunction()
embed(${SCRIPT} kProgramResourceScript script)
embed(${IDS} kProgramResourceIds ids)
file(WRITE ${OUTPUT}.tmp "// Generated from ${SCRIPT} and ${IDS}.\n#include \"program_script.h\"\n\n${script}\n${ids}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
