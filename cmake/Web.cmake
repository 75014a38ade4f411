# Building for the browser with Qt for WebAssembly (scripts/build-web.sh):
# the flags every target needs, how the tests run (under node), and the
# site the two programs are served from (site/).

# The drill catches its overflow error as the desktop does; emscripten
# compiles exceptions out unless asked, and Qt's link flags turn catching
# off, so both are turned back on for our code.
add_compile_options(-fexceptions
                    # floating-point <charconv>, which its C++ library lacks
                    "SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/WebFloatCharconv.h")
add_link_options(-fexceptions
                 # Qt's platform plug-in reads and writes strings through these.
                 "SHELL:-s EXPORTED_RUNTIME_METHODS=UTF16ToString,stringToUTF16"
                 "SHELL:-s INITIAL_MEMORY=50MB")
# After Qt's own link flags, which come with its libraries, so it wins.
link_libraries("-sDISABLE_EXCEPTION_CATCHING=0")

# Every test runs under node; emscripten 3.1.6 would otherwise try fetch()
# on the .wasm's file path.
find_program(TEKKORA_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TEKKORA_NODE} --no-experimental-fetch)

# tekkora_web_program(<target> [MODAL_WAITS]): a program of the site. The
# player's files are kept in IndexedDB (IDBFS), mounted and loaded by
# storage.js before main() runs. With MODAL_WAITS its modal windows wait in
# exec(), which in the browser needs the stack unwound and rewound
# (asyncify). Asyncify instruments every function that might be on the
# stack at such a wait, which by default is every function that calls
# through a pointer: a third more code. WebNeverWaits.txt names the
# functions that never are (text shaping, fonts, painting, styles, pictures,
# and widgets the drill never shows), which are left as they are. A program
# without modal waits (the score page) goes without asyncify.
function(tekkora_web_program target)
  cmake_parse_arguments(PARSE_ARGV 1 web "MODAL_WAITS" "" "")
  # Pictures are PNG only, which Qt reads without a plug-in.
  qt_import_plugins(${target} EXCLUDE_BY_TYPE imageformats)
  target_link_options(${target} PRIVATE -Os -lidbfs.js
                      "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/site/storage.js")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/site/storage.js)
  if(web_MODAL_WAITS)
    set(never_waits ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/WebNeverWaits.txt)
    target_link_options(${target} PRIVATE "SHELL:-s ASYNCIFY" "SHELL:-s ASYNCIFY_REMOVE=@${never_waits}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${never_waits})
  endif()
endfunction()

# The faces the page brings (BundledFontsWeb.cpp) stand in for those Qt's
# web plug-in embeds (DejaVu, a megabyte the page would carry for nothing).
set_property(TARGET Qt6::QWasmIntegrationPlugin_resources_1 PROPERTY IMPORTED_OBJECTS_RELEASE "")

# CMake 3.25 knows no whole-archive link for emscripten; its linker (lld)
# takes the usual flags.
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE "-Wl,--whole-archive <LINK_ITEM> -Wl,--no-whole-archive")
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE_SUPPORTED TRUE)

# pkg-config answers for the build machine: nothing found there is for the
# browser.
set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_BINARY_DIR}/no-pkg-config")
