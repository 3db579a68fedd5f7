# The Debian package (`make package`): whatever the install() rules put in
# place, under /usr, as one torvane_<version>_<arch>.deb in the build folder.
# CPack takes every install() rule of the project, so a program, module or
# data file that installs itself is in the package without a change here.

set(TORVANE_PACKAGE_MAINTAINER "Torvane Measurement System developers <torvane@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

# Man pages: written by hand in packaging/man/, compressed as Debian wants
# them (gzip -n: no name or time stamp, so the same page makes the same file).
file(GLOB TORVANE_MAN_PAGES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/packaging/man/*.[1-8]")
set(TORVANE_GZIPPED_MAN_PAGES "")
foreach(page ${TORVANE_MAN_PAGES})
  get_filename_component(name "${page}" NAME)
  string(REGEX REPLACE ".*\\.([1-8])$" "\\1" section "${name}")
  set(gzipped "${CMAKE_BINARY_DIR}/man/${name}.gz")
  add_custom_command(OUTPUT "${gzipped}"
                     COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/man"
                     COMMAND gzip -9 -n -c "${page}" > "${gzipped}"
                     DEPENDS "${page}" VERBATIM)
  list(APPEND TORVANE_GZIPPED_MAN_PAGES "${gzipped}")
  install(FILES "${gzipped}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}")
endforeach()

# The package's changelog, as Debian's documentation folder holds it.
set(TORVANE_DEB_CHANGELOG "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
configure_file("${CMAKE_SOURCE_DIR}/packaging/changelog.in"
               "${CMAKE_BINARY_DIR}/packaging/changelog" @ONLY)
add_custom_command(OUTPUT "${TORVANE_DEB_CHANGELOG}"
                   COMMAND gzip -9 -n -c "${CMAKE_BINARY_DIR}/packaging/changelog"
                           > "${TORVANE_DEB_CHANGELOG}"
                   DEPENDS "${CMAKE_BINARY_DIR}/packaging/changelog" VERBATIM)
add_custom_target(torvane_package_files ALL
                  DEPENDS ${TORVANE_GZIPPED_MAN_PAGES} "${TORVANE_DEB_CHANGELOG}")

set(TORVANE_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/torvane")
# The licence as Debian states it: the notice, and the GPL's text by
# reference to /usr/share/common-licenses (LICENSE holds the whole text).
install(FILES "${CMAKE_SOURCE_DIR}/packaging/copyright" DESTINATION "${TORVANE_DOC_DIR}")
install(FILES "${TORVANE_DEB_CHANGELOG}" DESTINATION "${TORVANE_DOC_DIR}")

# The udev rule that lets the user at the seat open the FTDI units. udev
# reads Debian 12's packaged rules from /lib/udev/rules.d, outside /usr: for
# the prefix /usr the rule goes there (below DESTDIR when one is set, as in
# the package), for any other prefix into the prefix's own lib/udev/rules.d.
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(torvane_udev_rules_dir \"/lib/udev/rules.d\")
  else()
    set(torvane_udev_rules_dir \"\${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d\")
  endif()
  file(INSTALL DESTINATION \"\${torvane_udev_rules_dir}\" TYPE FILE
       FILES \"${CMAKE_SOURCE_DIR}/packaging/70-torvane.rules\")
")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "torvane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Torvane Measurement System developers")
set(CPACK_PACKAGE_CONTACT "${TORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure jumps and lifts with a linear transducer or force platform")
# The long description, wrapped as Debian shows it (CPack does not wrap).
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Torvane Measurement System records trials of jumps and lifts from a ZRA6,\n"
       "ZRA6+ or ZRA7 interface unit (a linear position transducer, a force\n"
       "platform or an accelerometer), derives velocity, acceleration, force and\n"
       "power, finds the phases of a jump and computes 33 results variables. It\n"
       "batch-processes folders of trials into spreadsheet rows, runs a live\n"
       "training mode with feedback on every repetition, calibrates the sensors\n"
       "and keeps the athletes of a squad workbook.\n"
       "\n"
       "The package holds the desktop program (torvane), its headless twin for\n"
       "scripts (torvane-cli), an interface-unit simulator (torvane-sim), the\n"
       "sample data folder and a udev rule that gives the user at the seat the\n"
       "units' FTDI USB-serial ports.")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
# DESTDIR packaging: the install rules run with the real prefix /usr (not
# the prefix of the build tree), so that the udev rule above lands in /lib.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "/usr")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

# Libraries the programs link come from dpkg-shlibdeps. What it cannot see:
# Qt Multimedia's GStreamer back end (the one Debian 12's Qt 6.4 uses) builds
# playbin, audioconvert, audioresample and volume (plugins-base) and plays
# a .wav through wavparse and autoaudiosink/pulsesink (plugins-good); without
# them a media player fails as it is made. The xcb and offscreen platform
# plugins ship in libqt6gui6 and a font comes with fontconfig-config, both
# already dependencies of the Qt libraries. xdg-open opens the results and
# squad workbooks in the desktop's spreadsheet program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_SOURCE_DIR}/packaging/debian/postinst"
                                       "${CMAKE_SOURCE_DIR}/packaging/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
