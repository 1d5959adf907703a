# The manual pages (section 1) of the installed programs, made by help2man
# from each program's own --help and --version at build time, so that a page
# cannot drift from the program it describes. packaging/man/NAME.h2m gives
# each page its NAME line and any section that --help does not hold.

find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)

# Where the pages are made; ManPageTest reads them here.
set(OMBRE_MAN_DIR ${PROJECT_BINARY_DIR}/man)

# Makes NAME.1 for each program named, a program target or a script of
# OMBRE_SCRIPT_DIR, installs it gzipped into man1/, and lists every other
# page under SEE ALSO. OMBRE_MAN_PROGRAMS keeps the path of each program
# for ManPageTest.
function(ombre_man_pages)
    set(pages)
    set(paths)
    foreach(program IN LISTS ARGN)
        if(TARGET ${program})
            set(path $<TARGET_FILE:${program}>)
            set(depends ${program})
        else()
            set(path ${OMBRE_SCRIPT_DIR}/${program})
            file(REAL_PATH ${path} script)
            set(depends ${script} ${PROJECT_SOURCE_DIR}/scripts/lib/command-line.sh)
        endif()
        list(APPEND paths ${path})
        set(seeAlso "[SEE ALSO]\n")
        foreach(other IN LISTS ARGN)
            if(NOT other STREQUAL program)
                # \% and \- keep a name from being broken over two lines.
                string(REPLACE "-" "\\-" other "\\%${other}")
                string(APPEND seeAlso ".BR ${other} (1),\n")
            endif()
        endforeach()
        string(APPEND seeAlso
            "and the file formats and walkthroughs in\n.IR /usr/share/doc/ombre/ .\n")
        set(seeAlsoFile ${OMBRE_MAN_DIR}/${program}-see-also.h2m)
        file(CONFIGURE OUTPUT ${seeAlsoFile} CONTENT "${seeAlso}" @ONLY)

        set(include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
        set(page ${OMBRE_MAN_DIR}/${program}.1)
        # No leak check: without the options of scripts/test it can crash at
        # the exit of a sanitizer build, and --help has nothing to find.
        add_custom_command(OUTPUT ${page} ${page}.gz
            COMMAND ${CMAKE_COMMAND} -E env
                OMBRE_PROGRAM=${path} ASAN_OPTIONS=detect_leaks=0
                ${HELP2MAN} --no-info --section=1
                    "--source=Ombre ${PROJECT_VERSION}" "--manual=Ombre Manual"
                    --include=${include} --include=${seeAlsoFile} --output=${page}
                    ${PROJECT_SOURCE_DIR}/packaging/help-for-help2man
            COMMAND ${GZIP} -9 -n -f -k ${page}
            DEPENDS ${depends} ${include} ${seeAlsoFile}
                ${PROJECT_SOURCE_DIR}/packaging/help-for-help2man
            COMMENT "Manual page of ${program}"
            VERBATIM)
        list(APPEND pages ${page})
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${pages})
    set(OMBRE_MAN_PROGRAMS ${paths} PARENT_SCOPE)
endfunction()
