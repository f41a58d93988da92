# Install layout (GNUInstallDirs) and the Debian package. The program finds an installed data
# pack at DEMOTORVA_DATA_FROM_BIN from its own folder, so the install can live under any prefix.
set(demotorva_data_dir ${CMAKE_INSTALL_DATADIR}/demotorva)
file(RELATIVE_PATH demotorva_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${demotorva_data_dir})
set_property(SOURCE src/app/data_folder.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS DEMOTORVA_DATA_FROM_BIN="${demotorva_data_from_bin}")

# Desktop icons, painted by the data-pack generator from the demo's logo in the pack.
set(demotorva_icon_dir ${CMAKE_BINARY_DIR}/icons)
set(demotorva_icon_stamp ${demotorva_icon_dir}/.complete)
add_custom_command(
  OUTPUT ${demotorva_icon_stamp}
  COMMAND demotorva-datapack --icons ${CMAKE_BINARY_DIR}/data ${demotorva_icon_dir}
  COMMAND ${CMAKE_COMMAND} -E touch ${demotorva_icon_stamp}
  DEPENDS demotorva-datapack ${CMAKE_BINARY_DIR}/data/.complete
  COMMENT "Painting the desktop icons"
  VERBATIM)
add_custom_target(icons ALL DEPENDS ${demotorva_icon_stamp})
add_dependencies(icons datapack)

install(TARGETS demotorva RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The build's stamps (dot files) mark finished steps; they are not data.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${demotorva_data_dir}
  PATTERN ".*" EXCLUDE)
install(DIRECTORY ${demotorva_icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
  PATTERN ".*" EXCLUDE)
install(FILES packaging/demotorva.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# Manual pages and the changelog go in compressed, as Debian's policy asks; gzip -n leaves the
# time stamp out, so the same sources give the same bytes.
set(demotorva_compressed_dir ${CMAKE_BINARY_DIR}/packaging)
set(demotorva_compressed)
foreach(source demotorva.6 demotorva-inspect.1 changelog)
  set(compressed ${demotorva_compressed_dir}/${source}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${demotorva_compressed_dir}
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/${source} > ${compressed}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
    COMMENT "Compressing ${source}")
  list(APPEND demotorva_compressed ${compressed})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${demotorva_compressed})
install(FILES ${demotorva_compressed_dir}/demotorva.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${demotorva_compressed_dir}/demotorva-inspect.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md LICENSE packaging/copyright ${demotorva_compressed_dir}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/demotorva)

# cpack -G DEB: the run-time libraries the programs link (found with dpkg -S on each library),
# Mesa's drivers for software rendering where there is no GPU, EGL with Mesa's EGL driver (SDL
# opens its offscreen driver's context through EGL, which nothing else pulls in), and the font
# the outline font resolves "Arial Narrow" to. ffmpeg is only needed for --record. The section
# follows the programs' place: games go to /usr/games, these are in /usr/bin.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME demotorva)
set(CPACK_PACKAGE_VENDOR "DemoTORVA")
set(DEMOTORVA_MAINTAINER "The DemoTORVA developers <demotorva@example.org>" CACHE STRING
  "Maintainer field of the Debian package: a name and an address")
set(CPACK_PACKAGE_CONTACT "${DEMOTORVA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DEMOTORVA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL demo to a tracker-module soundtrack")
# The first line of the description is the summary; cpack indents the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "DemoTORVA plays five scenes (intro, temple, tunnel, credits, end) for 188
seconds to an Impulse Tracker module, full screen or in a window, on Mesa's
software renderer if need be. It can also record itself to video, PNG frames
or WAV audio, faster than real time.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6 (>= 2.35), libstdc++6 (>= 12), libgcc-s1, libsdl2-2.0-0, libopenmpt0, libfreetype6, \
libfontconfig1, libpng16-16, libgl1, libglu1-mesa, libgl1-mesa-dri, libegl1, libegl-mesa0, \
fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_STRIP_FILES ON)
include(CPack)
