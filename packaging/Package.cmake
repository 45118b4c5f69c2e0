# The Debian package. In a build tree, `cpack -G DEB` makes
# plinthos_<version>_<architecture>.deb from the install rules, with /usr as
# the prefix, so that whatever the project installs is in the package too.
# Only the files Debian asks of every package, the copyright in its
# machine-readable form and the changelog, are installed for the package
# alone: the component "debian" is left out of a plain `cmake --install`.

set(PLINTHOS_MAINTAINER "Plinthos developers <developers@plinthos.org>" CACHE STRING
    "Who answers for the Debian package: its Maintainer field, changelog and copyright contact")

set(PLINTHOS_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packaging)
set(PLINTHOS_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/plinthos)
# The copyright file quotes the licence from LICENSE, in Debian's form: each
# line indented by one blank, an empty line as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(FIND "${licence}" "Permission is hereby granted" licence_start)
string(SUBSTRING "${licence}" ${licence_start} -1 licence)
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " PLINTHOS_LICENSE_TEXT " ${licence}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${PLINTHOS_PACKAGE_DIR}/copyright @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PLINTHOS_PACKAGE_DIR}/changelog @ONLY)

# A package whose version the changelog does not name is refused by the tools
# that read it; say so when configuring rather than when packaging.
file(STRINGS ${PLINTHOS_PACKAGE_DIR}/changelog newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^plinthos \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog.in: the newest entry is \"${newest_entry}\", "
                        "not version ${PROJECT_VERSION}: add an entry for it")
endif()

add_custom_command(OUTPUT ${PLINTHOS_PACKAGE_DIR}/changelog.gz
    COMMAND gzip -9 -n -c ${PLINTHOS_PACKAGE_DIR}/changelog > ${PLINTHOS_PACKAGE_DIR}/changelog.gz
    DEPENDS ${PLINTHOS_PACKAGE_DIR}/changelog
    COMMENT "Compressing the package's changelog")
add_custom_target(plinthos_package_files ALL DEPENDS ${PLINTHOS_PACKAGE_DIR}/changelog.gz)
install(FILES ${PLINTHOS_PACKAGE_DIR}/copyright ${PLINTHOS_PACKAGE_DIR}/changelog.gz
        DESTINATION ${PLINTHOS_PACKAGE_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plinthos)
set(CPACK_PACKAGE_CONTACT ${PLINTHOS_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tool for drawing a column chart by hand")
set(CPACK_PACKAGE_DESCRIPTION [[
Plinthos draws a column chart one column at a time: type a label and a value
in percent, pick a fill colour from a 16-colour palette or the colour dialog
and a colour for the label, and add the column. The columns stand on a
common baseline with their labels above them.

The picture can be saved as a bitmap, copied to the clipboard or saved as
PNG, BMP, SVG or PDF; in SVG and PDF the texts stay text and the columns
stay rectangles.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# One package of everything the install rules give, with the component that
# is meant for the package alone. CPack lists the components when it is
# included, so this file comes after every subdirectory that installs.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PLINTHOS_HOMEPAGE})
# The libraries' packages come from dpkg-shlibdeps; the fonts are opened by
# path or by name at run time, where no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
