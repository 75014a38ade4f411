# Where the systems differ, a seam is a small header with one implementation
# file per backend, named <Seam><Backend>.cpp (AppendOnlyFilePosix.cpp,
# AlertSoundCanberra.cpp, KeyboardLayoutWayland.cpp). Each platform names its
# backends here, most specific first; tekkora_backend_sources() then adds,
# for each seam of a target, the file of every backend of the platform that
# has one. A new platform adds its line below and one file per seam.
if(WIN32)
  set(TEKKORA_BACKENDS Windows MessageBeep)
elseif(EMSCRIPTEN)
  set(TEKKORA_BACKENDS Web WebAudio Posix)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(TEKKORA_BACKENDS Posix Iconv Canberra Xkb X11 Wayland)
else()
  set(TEKKORA_BACKENDS Posix Iconv)
endif()

# tekkora_backend_sources(<target> <Seam>...): a seam no backend of the
# platform implements takes <Seam>None.cpp, where there is one; without it
# the configuration fails, naming the seam.
function(tekkora_backend_sources target)
  foreach(seam IN LISTS ARGN)
    set(files)
    foreach(backend IN LISTS TEKKORA_BACKENDS)
      if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${seam}${backend}.cpp)
        list(APPEND files ${seam}${backend}.cpp)
      endif()
      if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${seam}${backend}.h)
        list(APPEND files ${seam}${backend}.h)
      endif()
    endforeach()
    if(NOT files AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${seam}None.cpp)
      set(files ${seam}None.cpp)
    endif()
    if(NOT files)
      message(FATAL_ERROR "${target}: no implementation of ${seam} for the backends ${TEKKORA_BACKENDS}")
    endif()
    target_sources(${target} PRIVATE ${files})
  endforeach()
endfunction()
