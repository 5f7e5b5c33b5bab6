# Where `cmake --install` puts each part; every area's install() rules use
# these folders. Included before the areas.
#
# Linux hosts look for VST 2 plug-ins in lib/vst under /usr and /usr/local
# (one user: ~/.vst), for VST 3 bundles in lib/vst3 (~/.vst3), for LV2
# bundles in lib/lv2 and for CLAP modules in lib/clap, never in the multiarch
# library folder, so those are fixed names under the prefix.
include(GNUInstallDirs)

if(WIN32)
  # The Windows archive: each build's plug-in and host side by side in a
  # folder named for its word size, the texts at the top.
  math(EXPR mg_bits "${CMAKE_SIZEOF_VOID_P} * 8")
  set(MG_INSTALL_VST_DIR ${mg_bits}-bit)
  set(MG_INSTALL_CLAP_DIR ${mg_bits}-bit)
  # One VST 3 bundle at the top holds both builds' modules.
  set(MG_INSTALL_VST3_DIR .)
  set(MG_INSTALL_BIN_DIR ${mg_bits}-bit)
  set(MG_INSTALL_DOC_DIR .)
else()
  set(MG_INSTALL_VST_DIR lib/vst)
  # VST 3 bundles: ${MG_INSTALL_VST3_DIR}/MarrowGrit.vst3/
  set(MG_INSTALL_VST3_DIR lib/vst3)
  # CLAP modules: lib/clap, where Linux hosts look (one user: ~/.clap).
  set(MG_INSTALL_CLAP_DIR lib/clap)
  # The LV2 bundle: ${MG_INSTALL_LV2_DIR}/marrow-grit.lv2/
  set(MG_INSTALL_LV2_DIR lib/lv2)
  set(MG_INSTALL_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(MG_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/marrow-grit)
  # Desktop entries (Icon=marrow-grit finds the icon installed below it).
  set(MG_INSTALL_DESKTOP_DIR ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  set(MG_INSTALL_ICON_DIR ${CMAKE_INSTALL_DATAROOTDIR}/icons)
endif()

# mg_install_man_page(NAME PROGRAM SUMMARY): section 1 manual page for the
# installed program NAME, made by help2man from what PROGRAM (a path or a
# generator expression; a target of that name is built first) prints for
# --help and --version, so the page never drifts from the program. Linux
# builds with help2man only (scripts/install-package-tools.sh installs it).
find_program(MG_HELP2MAN help2man)
function(mg_install_man_page name program summary)
  if(WIN32 OR NOT MG_HELP2MAN)
    return()
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${name}.1)
  set(depends)
  if(TARGET ${name})
    set(depends ${name})
  endif()
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${MG_HELP2MAN} --no-info --no-discard-stderr --name ${summary}
            --output ${page} ${program}
    COMMAND gzip -9nf ${page}
    DEPENDS ${depends}
    COMMENT "Manual page for ${name}"
    VERBATIM)
  add_custom_target(${name}-man-page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
