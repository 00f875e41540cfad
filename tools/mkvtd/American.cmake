# "american.vtd", written at build time from Debian's SCOWL lists (wamerican-small,
# wamerican, wamerican-large): into the program folder on Windows, build/native/ natively.
set(vtd_lists
  /usr/share/dict/american-english-small
  /usr/share/dict/american-english
  /usr/share/dict/american-english-large)
if(WIN32)
  set(vtd_out ${QUIPTIDE_DIR}/american.vtd)
  set(vtd_tool ${CMAKE_BINARY_DIR}/host/mkvtd)
  set(vtd_tool_target hosttools)
else()
  set(vtd_out ${CMAKE_BINARY_DIR}/american.vtd)
  set(vtd_tool $<TARGET_FILE:mkvtd>)
  set(vtd_tool_target mkvtd)
endif()
add_custom_command(
  OUTPUT ${vtd_out}
  COMMAND ${vtd_tool} ${vtd_out} ${vtd_lists}
  DEPENDS ${vtd_tool_target} ${vtd_lists} ${PROJECT_SOURCE_DIR}/tools/mkvtd/mkvtd.cpp
  COMMENT "Writing the dictionary american.vtd")
add_custom_target(americanvtd ALL DEPENDS ${vtd_out})
