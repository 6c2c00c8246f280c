# cmake -DPAGE=index.html -DOUT=FILE -DVERSION=V [-DSCRIPT=module.js] -P write-page.cmake
#
# Writes the page to OUT with the project's version in place of
# @CORVEXA_VERSION@. With SCRIPT it writes the page as one self-contained
# file: the module (built with -sSINGLE_FILE, its WebAssembly inside it) goes
# into the page in place of <script src="corvexa.js"></script>, so that the
# page needs no other file and plays opened straight from disk.
file(READ "${PAGE}" page)
string(REPLACE "@CORVEXA_VERSION@" "${VERSION}" page "${page}")
if(DEFINED SCRIPT)
  set(tag "<script src=\"corvexa.js\"></script>")
  string(FIND "${page}" "${tag}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE}: no ${tag} to put the module in place of")
  endif()
  file(READ "${SCRIPT}" module)
  string(TOLOWER "${module}" lower)
  string(FIND "${lower}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${SCRIPT}: holds </script, which would end the page's script early")
  endif()
  string(REPLACE "${tag}" "<script>\n${module}\n</script>" page "${page}")
endif()
file(WRITE "${OUT}.tmp" "${page}")
file(RENAME "${OUT}.tmp" "${OUT}")
