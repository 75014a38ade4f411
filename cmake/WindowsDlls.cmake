# Install-time script: copies into the installed program's folder the DLLs
# its executables and plug-ins load, found by walking their import tables
# (objdump -p) and those of every DLL found, and strips the copies. A DLL
# that none of the given folders holds is Windows' own and stays out.
#
# Set by the caller (cmake/PackagingWindows.cmake):
#   TEKKORA_DLL_OBJDUMP  objdump for PE files
#   TEKKORA_DLL_STRIP    strip for PE files
#   TEKKORA_DLL_FILES    the executables and plug-ins
#   TEKKORA_DLL_DIRS     the folders the DLLs come from (Qt's, MinGW's)
#   TEKKORA_DLL_DEST     where the program's folder is being installed

cmake_policy(VERSION 3.25)

# Windows finds DLLs whatever the case of their names; the folders here are
# on a file system that does not.
set(available)
foreach(dir IN LISTS TEKKORA_DLL_DIRS)
  file(GLOB dlls LIST_DIRECTORIES false "${dir}/*.dll")
  foreach(dll IN LISTS dlls)
    get_filename_component(name "${dll}" NAME)
    string(TOLOWER "${name}" key)
    if(NOT DEFINED path_of_${key})
      set(path_of_${key} "${dll}")
    endif()
  endforeach()
endforeach()

set(pending ${TEKKORA_DLL_FILES})
set(seen)
set(carried)
set(windows_own)
while(pending)
  list(POP_FRONT pending file)
  execute_process(COMMAND "${TEKKORA_DLL_OBJDUMP}" -p "${file}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot read the imports of ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  foreach(import IN LISTS imports)
    string(REGEX REPLACE "DLL Name: " "" name "${import}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" key)
    if(key IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${key})
    if(DEFINED path_of_${key})
      list(APPEND carried "${path_of_${key}}")
      list(APPEND pending "${path_of_${key}}")
    else()
      list(APPEND windows_own ${name})
    endif()
  endforeach()
endwhile()

foreach(dll IN LISTS carried)
  file(INSTALL "${dll}" DESTINATION "${TEKKORA_DLL_DEST}")
  get_filename_component(name "${dll}" NAME)
  execute_process(COMMAND "${TEKKORA_DLL_STRIP}" --strip-unneeded "${TEKKORA_DLL_DEST}/${name}")
endforeach()
list(SORT windows_own CASE INSENSITIVE)
list(JOIN windows_own " " windows_own)
message(STATUS "Left to Windows: ${windows_own}")
