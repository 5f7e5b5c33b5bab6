# Include roots per layer, so that a layer sees only the headers it may use.
#
#   mg_expose_headers(<target> <folder> <header>...)
#
# Makes each <header> includable as "<folder>/<file name>" (or "<file name>"
# when <folder> is empty) by <target> and by every target that links it, and
# by nothing else. The root is a folder of the build tree that belongs to
# <target> alone (build/<preset>/layers/<target>), holding one small
# forwarding header per exposed header; the header itself stays where it is
# in the source tree. A header that a layer may not use has no forwarder on
# that layer's include path, so including it fails to compile.
#
# Forwarders are rewritten only when their text changes, so reconfiguring
# does not rebuild; a forwarder whose header is no longer exposed is removed.
function(mg_expose_headers target folder)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  else()
    set(scope PUBLIC)
  endif()
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  if(folder)
    set(dir ${root}/${folder})
  else()
    set(dir ${root})
  endif()

  set(written "")
  foreach(header IN LISTS ARGN)
    get_filename_component(source ${header} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(name ${header} NAME)
    file(CONFIGURE OUTPUT ${dir}/${name}
         CONTENT "#pragma once\n// ${target}'s view of this header (cmake/Layers.cmake).\n#include \"${source}\"\n")
    list(APPEND written ${dir}/${name})
  endforeach()

  file(GLOB present LIST_DIRECTORIES false ${dir}/*.h)
  foreach(stale IN LISTS present)
    if(NOT stale IN_LIST written)
      file(REMOVE ${stale})
    endif()
  endforeach()

  target_include_directories(${target} ${scope} ${root})
endfunction()

# The headers directly in <folder> (not in its sub-folders), relative to the
# calling directory; a header added later makes the build configure again.
function(mg_headers_in out folder)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  list(SORT headers)
  set(${out} ${headers} PARENT_SCOPE)
endfunction()
