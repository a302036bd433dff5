# Installation, desktop integration and the Debian package.
#
# The program is installed as a folder of its own, <prefix>/lib/plovane, holding the executable
# and every data file it reads beside itself (the layout of the build root), with <prefix>/bin/plovane
# a relative symbolic link to the executable. Users cannot write to the installed folder; the
# program then keeps the files it writes there under $XDG_DATA_HOME/Quenlock/Plovane/
# (platform/FilePlaces). Included from the top-level CMakeLists.txt after every subsystem, so the
# files recorded with plovane_program_output are all known here.

set(PLOVANE_INSTALL_PROGRAM_DIR lib/plovane CACHE STRING
    "Folder of the installed program and its data files, relative to the install prefix")
set(PLOVANE_APP_ID io.github.quenlock.Plovane)
set(PLOVANE_DESKTOP_SOURCE ${PROJECT_SOURCE_DIR}/resources/desktop)

# The program and its data files.
install(TARGETS plovane RUNTIME DESTINATION ${PLOVANE_INSTALL_PROGRAM_DIR})
get_property(PLOVANE_PROGRAM_OUTPUTS GLOBAL PROPERTY PLOVANE_PROGRAM_OUTPUTS)
get_property(PLOVANE_PROGRAM_OUTPUT_TARGETS GLOBAL PROPERTY PLOVANE_PROGRAM_OUTPUT_TARGETS)
foreach(relative IN LISTS PLOVANE_PROGRAM_OUTPUTS)
    cmake_path(GET relative PARENT_PATH sub)
    install(FILES ${PLOVANE_PROGRAM_DIR}/${relative} DESTINATION ${PLOVANE_INSTALL_PROGRAM_DIR}/${sub})
endforeach()

# bin/plovane -> ../lib/plovane/plovane. The link is made in the build tree and installed as a link.
set(PLOVANE_LINK_DIR ${CMAKE_BINARY_DIR}/install-link)
file(MAKE_DIRECTORY ${PLOVANE_LINK_DIR})
file(RELATIVE_PATH PLOVANE_LINK_TARGET /bin /${PLOVANE_INSTALL_PROGRAM_DIR}/plovane)
file(CREATE_LINK ${PLOVANE_LINK_TARGET} ${PLOVANE_LINK_DIR}/plovane SYMBOLIC)
install(FILES ${PLOVANE_LINK_DIR}/plovane DESTINATION bin)

# Icons in the hicolor theme: the hand-drawn SVG, and PNGs rendered from it at build time.
find_program(PLOVANE_RSVG_CONVERT rsvg-convert)
if(NOT PLOVANE_RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert is missing (Debian package librsvg2-bin; scripts/setup-deps installs it)")
endif()
set(PLOVANE_ICON_SVG ${PLOVANE_DESKTOP_SOURCE}/plovane.svg)
set(PLOVANE_ICON_PNGS)
foreach(size IN ITEMS 48 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/plovane.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${PLOVANE_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${PLOVANE_ICON_SVG}
        DEPENDS ${PLOVANE_ICON_SVG} VERBATIM)
    list(APPEND PLOVANE_ICON_PNGS ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(plovane_icons ALL DEPENDS ${PLOVANE_ICON_PNGS})
install(FILES ${PLOVANE_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps)

install(FILES ${PLOVANE_DESKTOP_SOURCE}/${PLOVANE_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${PLOVANE_DESKTOP_SOURCE}/${PLOVANE_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Everything `cmake --install` copies, built without the tests and benchmarks.
add_custom_target(plovane_installed_files DEPENDS plovane plovane_icons ${PLOVANE_PROGRAM_OUTPUT_TARGETS})
# Installing and packaging build only what they install (scripts/package-deb builds it first).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The installed layout, relative to the prefix, for the install test.
set(PLOVANE_INSTALLED_LAYOUT
    bin/plovane
    ${PLOVANE_INSTALL_PROGRAM_DIR}/plovane
    share/applications/${PLOVANE_APP_ID}.desktop
    share/metainfo/${PLOVANE_APP_ID}.metainfo.xml
    share/icons/hicolor/48x48/apps/plovane.png
    share/icons/hicolor/128x128/apps/plovane.png
    share/icons/hicolor/256x256/apps/plovane.png
    share/icons/hicolor/scalable/apps/plovane.svg)
foreach(relative IN LISTS PLOVANE_PROGRAM_OUTPUTS)
    list(APPEND PLOVANE_INSTALLED_LAYOUT ${PLOVANE_INSTALL_PROGRAM_DIR}/${relative})
endforeach()
list(JOIN PLOVANE_INSTALLED_LAYOUT "\n" layout_text)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/installed-layout.txt CONTENT "${layout_text}\n")

add_test(NAME install
    COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check-install.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_BINARY_DIR}/installed-layout.txt ${PLOVANE_INSTALL_PROGRAM_DIR} ${PLOVANE_APP_ID})
set_tests_properties(install PROPERTIES LABELS install TIMEOUT 300 SKIP_RETURN_CODE 77)

# The Debian package: scripts/package-deb.
set(CPACK_PACKAGE_NAME plovane)
set(CPACK_PACKAGE_VENDOR Quenlock)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "web page designer")
set(CPACK_PACKAGE_DESCRIPTION
    "Plovane opens, creates and edits HTML pages in a multi-document window, each with a design view, \
a preview and a source view, and brings element property dialogs, HTML Tidy, a spell checker, an FTP \
client to publish, a page importer and a picture editor.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER Quenlock)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps names the libraries and, through the engine library's shlibs, the engine's helper
# process (libqt6webenginecore6-bin). Added by hand: the fonts that stand in for the page fonts
# named by the system.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
