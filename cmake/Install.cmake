# Installation and the Debian package (cpack -G DEB).
#
#   <prefix>/lib/corvane-key-manager/   the application and Help_Viewer side by side: the application
#                                       starts the viewer from its own directory
#   <prefix>/bin/corvane-key-manager    symbolic link to the application (Qt resolves it through
#                                       /proc/self/exe, so the application still finds the viewer)
#   <prefix>/bin/corvane-device-simulator, corvane-cli   tools
#   <prefix>/lib/udev/rules.d/70-corvane.rules           device access for the logged-in user
#   <prefix>/share/applications, icons, metainfo, doc (copyright, changelog.Debian.gz), lintian overrides
#   <prefix>/share/man/man1                              a manual page for each program on the PATH
#
# The udev rule only takes effect with the prefix /usr (the package's), as udev reads /usr/lib/udev.
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstall.cmake)
    return()
endif()
include(GNUInstallDirs)

set(CORVANE_INSTALL_PRIVATE_DIR "lib/corvane-key-manager" CACHE STRING
    "Directory, relative to the prefix, of the application and its help viewer")
set(CORVANE_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(CORVANE_COMPRESSED_DIR ${CMAKE_BINARY_DIR}/install/compressed)
# The Debian revision of the package (CPACK_DEBIAN_PACKAGE_RELEASE and packaging/changelog). The version
# itself is project()'s.
set(CORVANE_DEBIAN_PACKAGE_RELEASE 1)

# Debian wants manual pages and the changelog compressed; -n leaves the time stamp out of the file.
function(corvane_install_compressed source destination)
    get_filename_component(name ${source} NAME)
    set(compressed ${CORVANE_COMPRESSED_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CORVANE_COMPRESSED_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CORVANE_COMPRESSED_DIR}/${name}
        COMMAND gzip -9nf ${CORVANE_COMPRESSED_DIR}/${name}
        DEPENDS ${source}
        VERBATIM)
    string(MAKE_C_IDENTIFIER ${name} target_suffix)
    add_custom_target(corvane_compressed_${target_suffix} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${destination} ${ARGN})
endfunction()

# The release date is the one of the changelog's newest entry (its " -- name  Tue, 08 Dec 2026 ..." line),
# so that a new version needs only project() and a changelog entry.
function(corvane_read_release_date changelog)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
    file(STRINGS ${changelog} trailer_lines REGEX "^ -- ")
    list(GET trailer_lines 0 trailer)
    if(NOT trailer MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        message(FATAL_ERROR "${changelog}: no date in its first entry's trailer line")
    endif()
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month_index)
    math(EXPR month "${month_index} + 1")
    if(month LESS 10)
        set(month 0${month})
    endif()
    set(CORVANE_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1} PARENT_SCOPE)
    set(CORVANE_RELEASE_YEAR ${CMAKE_MATCH_3} PARENT_SCOPE)
endfunction()
corvane_read_release_date(${CORVANE_PACKAGING_DIR}/changelog)
set(CORVANE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

function(corvane_install_manual_page program)
    if(TARGET ${program})
        set(page ${CORVANE_GENERATED_DIR}/man/${program}.1)
        configure_file(${CMAKE_SOURCE_DIR}/docs/${program}.1.in ${page} @ONLY)
        corvane_install_compressed(${page} ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endfunction()

if(TARGET corvane-key-manager)
    install(TARGETS corvane-key-manager RUNTIME DESTINATION ${CORVANE_INSTALL_PRIVATE_DIR})
    # A relative link works under any prefix and in the package's staging directory.
    file(RELATIVE_PATH launcher_target /${CMAKE_INSTALL_BINDIR} /${CORVANE_INSTALL_PRIVATE_DIR}/corvane-key-manager)
    set(launcher ${CMAKE_BINARY_DIR}/install/corvane-key-manager)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
    file(CREATE_LINK ${launcher_target} ${launcher} SYMBOLIC)
    install(FILES ${launcher} DESTINATION ${CMAKE_INSTALL_BINDIR})

    install(FILES ${CORVANE_PACKAGING_DIR}/corvane-key-manager.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/Icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME corvane-key-manager.svg)
    set(metainfo ${CORVANE_GENERATED_DIR}/packaging/example.corvane.KeyManager.metainfo.xml)
    configure_file(${CORVANE_PACKAGING_DIR}/example.corvane.KeyManager.metainfo.xml.in ${metainfo} @ONLY)
    install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${CORVANE_PACKAGING_DIR}/70-corvane.rules DESTINATION lib/udev/rules.d)
    install(FILES ${CORVANE_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane-key-manager)
    # The package's version must head the changelog it carries.
    set(package_version ${PROJECT_VERSION}-${CORVANE_DEBIAN_PACKAGE_RELEASE})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CORVANE_PACKAGING_DIR}/changelog)
    file(STRINGS ${CORVANE_PACKAGING_DIR}/changelog changelog_head LIMIT_COUNT 1)
    if(NOT changelog_head MATCHES "^corvane-key-manager \\(${package_version}\\) ")
        message(FATAL_ERROR "packaging/changelog does not start with version ${package_version}")
    endif()
    corvane_install_compressed(${CORVANE_PACKAGING_DIR}/changelog
        ${CMAKE_INSTALL_DATADIR}/doc/corvane-key-manager RENAME changelog.Debian.gz)
    install(FILES ${CORVANE_PACKAGING_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME corvane-key-manager)
endif()
if(TARGET Help_Viewer)
    install(TARGETS Help_Viewer RUNTIME DESTINATION ${CORVANE_INSTALL_PRIVATE_DIR})
endif()
# corvane-cli installs itself (cli/CMakeLists.txt).
if(TARGET corvane-device-simulator)
    install(TARGETS corvane-device-simulator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
foreach(program corvane-key-manager corvane-device-simulator corvane-cli)
    corvane_install_manual_page(${program})
endforeach()

# Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane-key-manager)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_CONTACT "Corvane <support@corvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manager of the Corvane USB hardware password vault")
# Lines of the extended description, wrapped as Debian's control files want them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "The Corvane is a USB device that keeps an encrypted password vault in two"
    "memories. This application reads, decrypts, edits, encrypts and writes back"
    "the vault, imports and exports CSV files, copies and erases devices, and locks"
    "itself after inactivity. A udev rule gives the logged-in user access to the"
    "device."
    "."
    "The package also carries corvane-device-simulator, which serves a simulated"
    "device for trying the application without one.")
if(TARGET corvane-cli)
    string(APPEND CPACK_PACKAGE_DESCRIPTION "\n"
        "corvane-cli backs up and restores devices and converts vaults to and from CSV\n"
        "files from the command line.")
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CORVANE_DEBIAN_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvane <support@corvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvane.example")
# The Qt, Mbed TLS and C++ runtime libraries, with their versions, come from the linked binaries
# (dpkg-shlibdeps). The plug-ins the application loads at run time (xcb platform, TLS) are in those same Qt
# library packages, except the SVG icon plug-ins, which have their own package from Debian 13 on (Qt 6.8);
# Wayland and Qt's own translations are optional.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-svg-plugins | libqt6svg6 (<< 6.6)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CORVANE_PACKAGING_DIR}/postinst ${CORVANE_PACKAGING_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
