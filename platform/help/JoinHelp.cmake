# Builds Quiptide.hlp: the help sources joined in the given order, each ending its last
# line. Called as: cmake -D OUT=<file> -D SOURCES=<a;b;...> -P JoinHelp.cmake
file(WRITE ${OUT}.part "")
foreach(source IN LISTS SOURCES)
  file(READ ${source} text)
  if(NOT text MATCHES "\n$")
    string(APPEND text "\n")
  endif()
  file(APPEND ${OUT}.part "${text}")
endforeach()
file(RENAME ${OUT}.part ${OUT})
