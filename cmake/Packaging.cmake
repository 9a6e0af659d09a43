# Installation and the Debian package: the programs, the desktop entry, the icon, the AppStream
# metadata and the man pages, laid out by GNUInstallDirs; `cpack` (or the `package` target) builds the .deb.
# Included at the end of the top CMakeLists.txt, after the program targets exist.

include(GNUInstallDirs)

# The application id: the desktop entry's file name, the icon name and the AppStream id. The window must
# announce the same id (QGuiApplication::setDesktopFileName), or desktops cannot match window and entry.
set(HX350_APP_ID "org.hx350.ServiceTool")

set(HX350_HOMEPAGE_URL "https://example.com/hx350" CACHE STRING "Project homepage (package and AppStream metadata)")
set(HX350_MAINTAINER "HX350 maintainers <maintainers@example.com>" CACHE STRING "Debian package maintainer")
set(HX350_DEVELOPER_NAME "HX350 maintainers" CACHE STRING "Developer name shown by software centres")
set(HX350_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence expression of the project")
# The date of the release named by PROJECT_VERSION; changed together with the version.
set(HX350_RELEASE_DATE "2026-12-07")

set(hx350_data ${PROJECT_SOURCE_DIR}/data)
set(hx350_generated ${PROJECT_BINARY_DIR}/data)

# ---- Programs (their targets are defined in src/ui and src/sim; the window is optional) ----
foreach(program hx350 hx350-sim hx350-cfg)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# ---- Man pages ----
configure_file(${hx350_data}/hx350.1 ${hx350_generated}/hx350.1 @ONLY)
if(TARGET hx350)
  install(FILES ${hx350_generated}/hx350.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
if(TARGET hx350-sim AND EXISTS ${PROJECT_SOURCE_DIR}/src/sim/hx350-sim.1)
  install(FILES ${PROJECT_SOURCE_DIR}/src/sim/hx350-sim.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
if(TARGET hx350-cfg)
  install(FILES ${PROJECT_SOURCE_DIR}/src/cfgtool/hx350-cfg.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# ---- Desktop integration: only with the window ----
if(TARGET hx350)
  install(FILES ${hx350_data}/${HX350_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${hx350_data}/icons/${HX350_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${hx350_data}/icons/${HX350_APP_ID}-48.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
          RENAME ${HX350_APP_ID}.png)
  configure_file(${hx350_data}/${HX350_APP_ID}.metainfo.xml.in ${hx350_generated}/${HX350_APP_ID}.metainfo.xml
                 @ONLY)
  install(FILES ${hx350_generated}/${HX350_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# ---- Debian package ----
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hx350)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${HX350_DEVELOPER_NAME}")
set(CPACK_PACKAGE_CONTACT "${HX350_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Reads and writes every setting of an HX350 GSM telemetry and alarm module (subscriber numbers, "
    "event texts and masks, analog and temperature thresholds, SMS schedule, GPRS/FTP/HTTP uplink, "
    "run-time counters), switches its outputs and reads its inputs, over a serial cable or through a GSM "
    "phone with AT commands and SMS in PDU mode. Includes hx350-sim, a simulator of the module and of a "
    "GSM phone on a pseudo-terminal, and hx350-cfg, which converts settings files to a readable text and back, "
    "compares them and changes single settings from scripts.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${HX350_HOMEPAGE_URL}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HX350_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${HX350_HOMEPAGE_URL}")
# Shared-library dependencies computed by dpkg-shlibdeps from the programs themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET hx350)
  # Qt loads its window-system plugins at run time, so no library link reveals them.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
