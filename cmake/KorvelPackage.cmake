# The Debian package that scripts/package makes: both programs in /opt/korvel, the folder
# where the program also reads its settings file and value lists; korvelctl on the PATH; a
# desktop entry with the icon.
set(KORVEL_PACKAGE_DIR opt/korvel)

install(TARGETS korvel korvelctl RUNTIME DESTINATION ${KORVEL_PACKAGE_DIR})
install(FILES res/package/README DESTINATION ${KORVEL_PACKAGE_DIR})
install(FILES res/package/korvel.desktop DESTINATION usr/share/applications)
foreach(size 16 32 48 64)
    install(FILES res/korvel-${size}.png DESTINATION usr/share/icons/hicolor/${size}x${size}/apps RENAME korvel.png)
endforeach()
# A link, not a copy: korvelctl finds nothing beside itself, but stays one program.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
file(CREATE_LINK /${KORVEL_PACKAGE_DIR}/korvelctl ${CMAKE_BINARY_DIR}/package/korvelctl SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package/korvelctl DESTINATION usr/bin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VENDOR "Korvel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Maintains the test database of a wire-harness test system")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvel developers")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# What the programs load without linking it: the SQL Server driver, Qt's own Chinese texts,
# fonts for the Chinese interface.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tdsodbc, qt6-translations-l10n, fonts-noto-cjk")
include(CPack)
