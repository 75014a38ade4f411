# Building for Windows with MinGW-w64 (64-bit), usually cross-compiled from
# Linux with Qt for Windows (scripts/test-windows.sh): where the DLLs the
# programs load come from, and how the cross build's tests run here, under
# Wine.

# Qt's DLLs and plug-ins, and the MinGW runtime beside the compiler: the C++
# runtime, libgcc and the threads library.
get_filename_component(TEKKORA_QT_WINDOWS_PREFIX "${Qt6_DIR}/../../.." ABSOLUTE)
set(TEKKORA_QT_WINDOWS_PLUGINS ${TEKKORA_QT_WINDOWS_PREFIX}/plugins)
set(TEKKORA_WINDOWS_DLL_DIRS ${TEKKORA_QT_WINDOWS_PREFIX}/bin)
foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(found_dir "${found}" DIRECTORY)
  get_filename_component(found_dir "${found_dir}" REALPATH)
  list(APPEND TEKKORA_WINDOWS_DLL_DIRS ${found_dir})
endforeach()
list(REMOVE_DUPLICATES TEKKORA_WINDOWS_DLL_DIRS)

if(CMAKE_CROSSCOMPILING)
  # pkg-config answers for the build machine: nothing found there is for
  # Windows.
  set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_BINARY_DIR}/no-pkg-config")

  # Every test executable runs under Wine, in one prefix for the build,
  # made on first use; scripts/test-windows.sh starts each run with a fresh
  # one. The DLLs come from where they are built and installed.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/windows/wine-run.sh)
  set(TEKKORA_WINEPREFIX ${PROJECT_BINARY_DIR}/wine-prefix)
  list(JOIN TEKKORA_WINDOWS_DLL_DIRS ":" dll_path)
  set(TEKKORA_WINE_ENVIRONMENT "WINEPREFIX=${TEKKORA_WINEPREFIX}" "TEKKORA_WINE_DLLS=${dll_path}")
endif()
