# Installing and packaging: the Windows version record, the Linux desktop
# entry, AppStream metadata and icons, and a Debian package built by CPack.
# Every version number comes from project(VERSION) in the top CMakeLists.txt.

include(GNUInstallDirs)

# The day the version in project() was released; AppStream wants a date for
# every release it lists.
set(TEKKORA_RELEASE_DATE "2026-12-08")

# --- Windows: the icon and the version record ------------------------------
# Written on every platform so the version records can be checked anywhere:
# tekkora.rc for the drill, tekkora-score.rc for the score window.
set(rc_parts)
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND rc_parts 0)
  else()
    list(APPEND rc_parts ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN rc_parts "," TEKKORA_RC_VERSION)

# tekkora_version_record(<target> <icon> <name> <description>)
function(tekkora_version_record target icon name description)
  set(TEKKORA_RC_ICON "${TEKKORA_ICON_DIR}/${icon}")
  set(TEKKORA_RC_NAME "${name}")
  set(TEKKORA_RC_DESCRIPTION "${description}")
  set(TEKKORA_RC_FILENAME "${target}.exe")
  set(rc_file "${PROJECT_BINARY_DIR}/${target}.rc")
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/tekkora.rc.in ${rc_file} @ONLY)
  if(WIN32 AND TARGET ${target})
    enable_language(RC)
    target_sources(${target} PRIVATE ${rc_file})
    # Resource compilers report no dependencies: rebuild when the icon changes.
    set_source_files_properties(${rc_file} TARGET_DIRECTORY ${target}
                                PROPERTIES OBJECT_DEPENDS ${TEKKORA_RC_ICON})
    add_dependencies(${target} tekkora_icons)
  endif()
endfunction()
tekkora_version_record(tekkora tekkora.ico "Tekkora!" "タイピングの速度を測定するソフト")
tekkora_version_record(tekkora-score tekkora-score.ico "Tekkora! スコア"
                       "Tekkora! のスコアファイルから上達の様子を表示します")

# --- Linux: desktop entry, AppStream metadata, icons -----------------------
set(TEKKORA_DESKTOP_FILE "${PROJECT_SOURCE_DIR}/resources/linux/${TEKKORA_APP_ID}.desktop")
set(TEKKORA_METAINFO_FILE "${PROJECT_BINARY_DIR}/${TEKKORA_APP_ID}.metainfo.xml")
configure_file(${PROJECT_SOURCE_DIR}/resources/linux/${TEKKORA_APP_ID}.metainfo.xml.in
               ${TEKKORA_METAINFO_FILE} @ONLY)

if(UNIX AND NOT APPLE)
  # Component "desktop" can be installed on its own, without the program;
  # the packaging tests do that to check the files as they land.
  install(FILES ${TEKKORA_DESKTOP_FILE}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
  install(FILES ${TEKKORA_METAINFO_FILE}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
  foreach(size IN LISTS TEKKORA_ICON_SIZES)
    install(FILES ${TEKKORA_ICON_DIR}/tekkora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${TEKKORA_APP_ID}.png COMPONENT desktop)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/${TEKKORA_SCORE_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
  foreach(size IN LISTS TEKKORA_ICON_SIZES)
    install(FILES ${TEKKORA_ICON_DIR}/tekkora-score-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${TEKKORA_SCORE_APP_ID}.png COMPONENT desktop)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tekkora COMPONENT desktop)
endif()

# --- CPack: a Debian package, or the Windows packages ---------------------
set(CPACK_PACKAGE_NAME tekkora)
set(CPACK_PACKAGE_VENDOR "The Tekkora! developers")
set(CPACK_PACKAGE_CONTACT "The Tekkora! developers <${TEKKORA_CONTACT_ADDRESS}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing-speed drill")
set(CPACK_PACKAGE_DESCRIPTION
    "Tekkora! shows one letter or digit at a time and times how fast and how
accurately you type them, in runs of 10, 30 or 50 keys or without limit. It
shows your misses, accuracy and seconds per key and keeps a score log.
Tekkora! Score (tekkora-score) charts your progress from that log.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Tekkora")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
  include(CPack)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt and the C++ runtime come from dpkg-shlibdeps; libcanberra is opened at
# run time, so dpkg-shlibdeps cannot see it, and the fonts the windows are
# drawn with, the sound theme the beep comes from and Qt's translations (the
# score window's dialogs in Japanese) are not libraries: all are named here.
# libcanberra reaches the sound server through its pulse backend (PipeWire's
# pulse server too), which brings a server with it where none is installed:
# recommended, as is Qt's Wayland platform, without which a Wayland desktop
# runs the program on XWayland.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcanberra0, fonts-ipafont-gothic | fonts-noto-cjk, fonts-comic-neue, sound-theme-freedesktop, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libcanberra-pulse")
include(CPack)
