# Run with -P and -DROOT=<repository>: fails when a file of a layer
# (platform/, framework/, raster/) includes a header by a path relative to its own
# folder that leaves that folder ("../vst/VstAbi.h", or "x11/XcbWindow.h" from
# framework/editor/): the compiler finds such a path next to the including
# file before it looks at any include root, so it would get round the
# layer's root. Every include either names a file of the same folder or
# starts with a layer's folder, which only the include roots resolve.
file(GLOB_RECURSE sources ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp ${ROOT}/framework/*.h ${ROOT}/framework/*.cpp
     ${ROOT}/raster/*.h ${ROOT}/raster/*.cpp)
set(offences "")
foreach(source IN LISTS sources)
  file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[^\"<]*[\"<]([^\">]*)[\">].*$" "\\1" header "${line}")
    if(header MATCHES "\\.\\.")
      # Up and out of a folder, next to the file or next to a root.
      list(APPEND offences "${source}: ${header}")
    elseif(line MATCHES "\"" AND header MATCHES "/" AND NOT header MATCHES "^(platform|core|editor|vst|vst3|clap|lv2|raster)/")
      list(APPEND offences "${source}: ${header}")
    endif()
  endforeach()
endforeach()
if(offences)
  list(JOIN offences "\n  " text)
  message(FATAL_ERROR "includes that get round the layers' include roots:\n  ${text}")
endif()
