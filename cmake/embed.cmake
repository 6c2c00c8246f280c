# corvexa_embed(OUT_VAR BYTES file... TEXT file...)
#
# Turns each file into constant data compiled into the program: a BYTES file becomes
# `const uint8_t kName[]`, a TEXT file (ASCII) becomes `const char16_t kName[]`, one
# UTF-16 code unit per byte, where Name is the file name in CamelCase
# ("simple-16x28.gif" gives kSimple16x28Gif). Each array comes with its length
# `kNameSize`. The generated source declares nothing else; assets/embedded.h
# declares what it defines.
function(corvexa_embed out_var)
  cmake_parse_arguments(EMBED "" "" "BYTES;TEXT" ${ARGN})
  set(out ${CMAKE_BINARY_DIR}/generated/embedded_data.cpp)
  set(inputs)
  foreach(f ${EMBED_BYTES} ${EMBED_TEXT})
    list(APPEND inputs ${CMAKE_SOURCE_DIR}/${f})
  endforeach()
  string(REPLACE ";" "," bytes_list "${EMBED_BYTES}")
  string(REPLACE ";" "," text_list "${EMBED_TEXT}")
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} "-DOUT=${out}" "-DROOT=${CMAKE_SOURCE_DIR}"
            "-DBYTES=${bytes_list}" "-DTEXT=${text_list}"
            -P ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
    DEPENDS ${inputs} ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
    COMMENT "Embedding assets"
    VERBATIM)
  set(${out_var} ${out} PARENT_SCOPE)
endfunction()
