# Windows packages: a portable zip (Tekkora-<version>-windows-x64.zip) and a
# per-user installer built with NSIS, both holding the two programs and
# exactly the DLLs and plug-ins they load. Included by Packaging.cmake.

# The plug-ins Qt loads at run time, which no import table names: the
# platform, and the native look the score window takes (the drill draws its
# own). No image format plug-in: the icons are PNGs, which Qt reads itself.
set(TEKKORA_WINDOWS_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll)
foreach(plugin IN LISTS TEKKORA_WINDOWS_PLUGINS)
  get_filename_component(plugin_dir ${plugin} DIRECTORY)
  install(FILES ${TEKKORA_QT_WINDOWS_PLUGINS}/${plugin} DESTINATION ${plugin_dir})
endforeach()

# Qt's own texts in Japanese for the score window's dialogs (QtJapanese.h):
# Qt looks for them in translations/ beside its DLLs. From Qt for Windows
# where it has them, else from the build machine's Qt of the same version
# (qt6-translations-l10n): the files are the same for every platform.
find_file(TEKKORA_QT_JAPANESE qtbase_ja.qm
          PATHS ${TEKKORA_QT_WINDOWS_PREFIX}/translations ${QT_HOST_PATH}/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(TEKKORA_QT_JAPANESE)
  install(FILES ${TEKKORA_QT_JAPANESE} DESTINATION translations)
else()
  message(WARNING "qtbase_ja.qm not found: the score window's dialogs will speak English (qt6-translations-l10n)")
endif()

# The DLLs: found by walking the import tables of the programs and the
# plug-ins, and of every DLL found, in Qt's and the MinGW runtime's folders
# (cmake/WindowsDlls.cmake). What none of those folders holds is Windows' own.
list(TRANSFORM TEKKORA_WINDOWS_PLUGINS PREPEND ${TEKKORA_QT_WINDOWS_PLUGINS}/ OUTPUT_VARIABLE plugin_files)
install(CODE "
  set(TEKKORA_DLL_OBJDUMP \"${CMAKE_OBJDUMP}\")
  set(TEKKORA_DLL_STRIP \"${CMAKE_STRIP}\")
  set(TEKKORA_DLL_FILES \"$<TARGET_FILE:tekkora>\" \"$<TARGET_FILE:tekkora-score>\" ${plugin_files})
  set(TEKKORA_DLL_DIRS ${TEKKORA_WINDOWS_DLL_DIRS})
  set(TEKKORA_DLL_DEST \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/WindowsDlls.cmake\")
")

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME "Tekkora-${PROJECT_VERSION}-windows-x64")
# The installer: for this user, without administrator rights, into
# %LOCALAPPDATA%\Programs\Tekkora, with its own template (cmake/NSIS.template.in,
# found through CMAKE_MODULE_PATH): CMake's asks for administrator rights.
list(APPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake)
set(CPACK_NSIS_PACKAGE_NAME "Tekkora!")
set(CPACK_NSIS_DISPLAY_NAME "Tekkora! ${PROJECT_VERSION}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Tekkora")
set(CPACK_NSIS_MUI_ICON "${TEKKORA_ICON_DIR}/tekkora.ico")
set(CPACK_NSIS_MUI_UNIICON "${TEKKORA_ICON_DIR}/tekkora.ico")
# Start-menu entries: program, then its name there.
set(CPACK_PACKAGE_EXECUTABLES "tekkora" "Tekkora!" "tekkora-score" "Tekkora! スコア")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
