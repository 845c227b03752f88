# The Debian package that scripts/package makes: both programs in /opt/korvel, the folder
# where the program also reads its settings file and value lists; korvelctl on the PATH
# with its manual page and bash completion; a desktop entry with the icon; the copyright
# and the changelog where Debian keeps them.
if(KORVEL_FUZZ)
    return()
endif()

set(KORVEL_PACKAGE_DIR opt/korvel)
set(korvel_package_source ${PROJECT_SOURCE_DIR}/res/package)
set(korvel_package_build ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${korvel_package_build})

# The changelog's latest entry is this version's, and its author the package's maintainer.
file(STRINGS ${korvel_package_source}/changelog korvel_changelog_version LIMIT_COUNT 1)
if(NOT korvel_changelog_version MATCHES "^korvel \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "res/package/changelog begins with \"${korvel_changelog_version}\", "
                        "not with an entry for version ${PROJECT_VERSION}")
endif()
file(STRINGS ${korvel_package_source}/changelog korvel_changelog_author REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- ([^<]+ <[^>]+>)  .*" "\\1" korvel_maintainer "${korvel_changelog_author}")

install(TARGETS korvel korvelctl RUNTIME DESTINATION ${KORVEL_PACKAGE_DIR})
install(FILES ${korvel_package_source}/README DESTINATION ${KORVEL_PACKAGE_DIR})
install(FILES ${korvel_package_source}/korvel.desktop DESTINATION usr/share/applications)
foreach(size 16 32 48 64)
    install(FILES res/korvel-${size}.png DESTINATION usr/share/icons/hicolor/${size}x${size}/apps RENAME korvel.png)
endforeach()
# A link, not a copy: korvelctl finds nothing beside itself, but stays one program.
file(CREATE_LINK /${KORVEL_PACKAGE_DIR}/korvelctl ${korvel_package_build}/korvelctl SYMBOLIC)
install(FILES ${korvel_package_build}/korvelctl DESTINATION usr/bin)

# The manual page and the completion are made from the help of the korvelctl just built,
# so that they name its commands and options as they are. Compressed without a name or a
# time, the same sources give the same files.
add_custom_command(
    OUTPUT ${korvel_package_build}/korvelctl.1.gz
    COMMAND ${korvel_package_source}/make-manpage $<TARGET_FILE:korvelctl> ${korvel_package_source}/korvelctl.1.in
            ${korvel_package_build}/korvelctl.1
    COMMAND gzip -9nf ${korvel_package_build}/korvelctl.1
    DEPENDS korvelctl ${korvel_package_source}/make-manpage ${korvel_package_source}/korvelctl-help.sh
            ${korvel_package_source}/korvelctl.1.in
    VERBATIM)
add_custom_command(
    OUTPUT ${korvel_package_build}/korvelctl.bash-completion
    COMMAND ${korvel_package_source}/make-completion $<TARGET_FILE:korvelctl> ${korvel_package_build}/korvelctl.bash-completion
    DEPENDS korvelctl ${korvel_package_source}/make-completion ${korvel_package_source}/korvelctl-help.sh
    VERBATIM)
add_custom_command(
    OUTPUT ${korvel_package_build}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${korvel_package_source}/changelog ${korvel_package_build}/changelog
    COMMAND gzip -9nf ${korvel_package_build}/changelog
    DEPENDS ${korvel_package_source}/changelog
    VERBATIM)
add_custom_target(korvel_package_files ALL
    DEPENDS ${korvel_package_build}/korvelctl.1.gz ${korvel_package_build}/korvelctl.bash-completion
            ${korvel_package_build}/changelog.gz)

install(FILES ${korvel_package_build}/korvelctl.1.gz DESTINATION usr/share/man/man1)
install(FILES ${korvel_package_build}/korvelctl.bash-completion DESTINATION usr/share/bash-completion/completions
        RENAME korvelctl)
install(FILES ${korvel_package_build}/changelog.gz ${korvel_package_source}/copyright DESTINATION usr/share/doc/korvel)
install(FILES ${korvel_package_source}/lintian-overrides DESTINATION usr/share/lintian/overrides RENAME korvel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VENDOR "Korvel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Maintains the test database of a wire-harness test system")
set(CPACK_PACKAGE_DESCRIPTION [=[
Korvel is the desktop tool with which the engineers of a wire-harness test
system maintain its test database, on Microsoft SQL Server through ODBC and
FreeTDS, or in an embedded SQLite file. After the administrator's password
they pick a harness and a wire, or a job and a step, and write test
attributes to them from named value lists; label definitions travel between
databases as enciphered label bundle files.

korvelctl, its command-line companion, prepares and inspects the settings
file, the value lists, label bundles and databases.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${korvel_maintainer}")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)
# What the programs load without linking it: the SQL Server driver, Qt's own Chinese texts,
# fonts for the Chinese interface.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tdsodbc, qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_POST_BUILD_SCRIPTS ${korvel_package_source}/leave-opt-to-the-system.cmake)
set(CPACK_KORVEL_AR ${CMAKE_AR})
include(CPack)
