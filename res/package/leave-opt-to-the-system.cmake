# Run by CPack once it has made the Debian package: takes the package's entry for /opt out
# of its files. /opt belongs to the system (base-files makes it, no package owns it); were
# it the package's, dpkg would remove it with the package when empty, and remove a
# symbolic link standing for it whatever the link leads to. CPack lists every parent
# folder, so the files are packed again without that one entry.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    set(work ${deb}.parts)
    file(REMOVE_RECURSE ${work})
    file(MAKE_DIRECTORY ${work}/tree)
    execute_process(COMMAND ${CPACK_KORVEL_AR} x ${deb} WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND tar -xpf data.tar.gz -C tree WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND tar -tf data.tar.gz --quoting-style=literal WORKING_DIRECTORY ${work}
                    OUTPUT_FILE ${work}/entries COMMAND_ERROR_IS_FATAL ANY)
    file(STRINGS ${work}/entries entries)
    list(REMOVE_ITEM entries ./opt/)
    list(JOIN entries "\n" entries)
    file(WRITE ${work}/entries "${entries}\n")
    file(REMOVE ${work}/data.tar.gz)
    execute_process(COMMAND tar --create --no-recursion --owner=root:0 --group=root:0 --format=gnu
                            -C tree -f data.tar --verbatim-files-from -T entries
                    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND gzip -9n data.tar WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE ${deb})
    execute_process(COMMAND ${CPACK_KORVEL_AR} rcD ${deb} debian-binary control.tar.gz data.tar.gz
                    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${work})
endforeach()
