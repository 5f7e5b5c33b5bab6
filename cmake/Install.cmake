# What `cmake --install` installs from this tree (folders: InstallLayout.cmake).
# Included after the areas, whose own install() rules add their parts. The
# rules here name a component each (plugin, host, doc, desktop) so that the
# Windows archive can take just its parts; the Debian package takes every
# component there is.

if(TARGET MarrowGrit)
  install(TARGETS MarrowGrit MarrowGritHQ LIBRARY DESTINATION ${MG_INSTALL_VST_DIR} COMPONENT plugin)
endif()
if(TARGET mg-host)
  install(TARGETS mg-host RUNTIME DESTINATION ${MG_INSTALL_BIN_DIR} COMPONENT host)
  mg_install_man_page(mg-host $<TARGET_FILE:mg-host> "command-line host for VST 2.4 plug-ins")
endif()

if(WIN32)
  # Texts for Windows users, with Windows line ends.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/package/windows-readme.txt.in
                 ${CMAKE_BINARY_DIR}/package/README.txt @ONLY NEWLINE_STYLE WIN32)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt
                 @ONLY NEWLINE_STYLE WIN32)
  install(FILES ${CMAKE_BINARY_DIR}/package/README.txt ${CMAKE_BINARY_DIR}/package/LICENSE.txt
          DESTINATION ${MG_INSTALL_DOC_DIR} COMPONENT doc)
  return()
endif()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/pedal/icons/hicolor
        DESTINATION ${MG_INSTALL_ICON_DIR} COMPONENT desktop)

# The licence text under the name Debian gives it; a changelog in Debian's
# form (one entry, for this version), compressed as Debian wants it.
string(TIMESTAMP MG_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(MG_PACKAGE_MAINTAINER "Marrow-Grit developers <marrow-grit@example.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
configure_file(${CMAKE_CURRENT_LIST_DIR}/package/changelog.in
               ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
  COMMAND gzip -9nc changelog > changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/package/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/package
  VERBATIM)
add_custom_target(mg-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_BINARY_DIR}/package/changelog.gz
        DESTINATION ${MG_INSTALL_DOC_DIR} COMPONENT doc)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${MG_INSTALL_DOC_DIR}
        RENAME copyright COMPONENT doc)
