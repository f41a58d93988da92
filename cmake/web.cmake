# The browser build (emcmake cmake): the same sources as the native program, compiled to
# WebAssembly against the libraries scripts/web.sh builds into its cache, never against the
# host's pkg-config libraries. Included from the top CMakeLists.txt when EMSCRIPTEN is set.
#
#   DEMOTORVA_WEB_PREFIX  the cache's prefix: lib/ and include/ of SDL2, libopenmpt, FreeType,
#                         libpng, zlib and GLU
#   DEMOTORVA_WEB_STAGE   the folder preloaded as the page's file system: data/ (the data pack
#                         the native generator wrote) and fonts/ (the faces fontconfig matches
#                         on the build machine)
#   DEMOTORVA_WEB_SITE    where the page goes: index.html, demotorva.js, .wasm and .data
set(DEMOTORVA_WEB_PREFIX "" CACHE PATH "Prefix of the web build's libraries")
set(DEMOTORVA_WEB_STAGE "" CACHE PATH "Folder preloaded into the page's file system")
set(DEMOTORVA_WEB_SITE "${CMAKE_BINARY_DIR}/site" CACHE PATH "Folder the page is written to")
if(NOT DEMOTORVA_WEB_PREFIX OR NOT EXISTS "${DEMOTORVA_WEB_PREFIX}/lib/libSDL2.a")
  message(FATAL_ERROR "DEMOTORVA_WEB_PREFIX must name the libraries scripts/web.sh built")
endif()
if(NOT DEMOTORVA_WEB_STAGE OR NOT EXISTS "${DEMOTORVA_WEB_STAGE}/data")
  message(FATAL_ERROR "DEMOTORVA_WEB_STAGE must hold the data pack in data/")
endif()

set(web_prefix "${DEMOTORVA_WEB_PREFIX}")
# Exceptions are caught: libopenmpt reports by throwing.
set(web_flags -O2 -fexceptions)
add_compile_options(-Wall -Wextra ${web_flags})

file(GLOB platform_sources CONFIGURE_DEPENDS src/platform/*.cpp)
file(GLOB core_sources CONFIGURE_DEPENDS
  src/core/*.cpp src/assets/*.cpp src/render/*.cpp src/scenes/*.cpp src/shell/*.cpp
  src/capture/*.cpp src/app/*.cpp)
set(web_gl_sources
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/web_gl.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/web_gl_primitives.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/web_gl_textures.cpp)
set(all_sources ${platform_sources} ${core_sources})
# Every source but the GL layer itself reaches OpenGL through the layer (platform/web_gl.h).
set(drawing_sources ${all_sources})
list(REMOVE_ITEM drawing_sources ${web_gl_sources})
# All of them have floating-point std::from_chars (platform/web_charconv.h).
set_source_files_properties(${drawing_sources} PROPERTIES
  COMPILE_OPTIONS "-include;${CMAKE_CURRENT_SOURCE_DIR}/src/platform/web_gl.h;-include;${CMAKE_CURRENT_SOURCE_DIR}/src/platform/web_charconv.h")

add_executable(demotorva ${all_sources})
target_include_directories(demotorva PRIVATE
  src ${web_prefix}/include ${web_prefix}/include/SDL2 ${web_prefix}/include/freetype2)
target_compile_definitions(demotorva PRIVATE DEMOTORVA_VERSION="${PROJECT_VERSION}")
set_target_properties(demotorva PROPERTIES
  SUFFIX ".js"
  RUNTIME_OUTPUT_DIRECTORY "${DEMOTORVA_WEB_SITE}")
target_link_libraries(demotorva PRIVATE
  ${web_prefix}/lib/libSDL2.a ${web_prefix}/lib/libopenmpt.a ${web_prefix}/lib/libfreetype.a
  ${web_prefix}/lib/libpng16.a ${web_prefix}/lib/libz.a ${web_prefix}/lib/libGLU.a)
# SDL's audio needs these runtime functions, which nothing else pulls in; in a file, since a
# '$' on the command line would reach the shell.
file(WRITE ${CMAKE_BINARY_DIR}/library_functions.json "[\"$autoResumeAudioContext\", \"$dynCall\"]\n")
# The emulation of fixed-function OpenGL on WebGL 2; ASYNCIFY lets the demo's own blocking
# loop hand the browser a turn after each frame; the page starts the program itself (after a
# click, so that sound may play) with the arguments of its address.
target_link_options(demotorva PRIVATE
  ${web_flags}
  -sLEGACY_GL_EMULATION=1
  -sMAX_WEBGL_VERSION=2
  -sASYNCIFY=1
  -sASYNCIFY_STACK_SIZE=1048576
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=268435456
  -sTOTAL_STACK=5242880
  -sFORCE_FILESYSTEM=1
  -sINVOKE_RUN=0
  -sEXIT_RUNTIME=1
  -sENVIRONMENT=web
  # Waits on condition variables hand the turn between fibers (platform/web_threads.cpp).
  -Wl,--wrap=pthread_cond_wait
  -Wl,--wrap=pthread_cond_timedwait
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/library_functions.json"
  "-sEXPORTED_RUNTIME_METHODS=[\"callMain\",\"FS\"]"
  "SHELL:--preload-file ${DEMOTORVA_WEB_STAGE}@/")
set_property(TARGET demotorva APPEND PROPERTY LINK_DEPENDS "${DEMOTORVA_WEB_STAGE}/.complete")

# The hand-written page beside the program.
add_custom_command(TARGET demotorva POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${CMAKE_CURRENT_SOURCE_DIR}/web/index.html ${DEMOTORVA_WEB_SITE}/index.html
  VERBATIM)
