# The scripts that the package installs beside the programs, each as
# ombre-NAME, with the command line they share and the version in
# share/ombre/, where an installed script looks for them. In the build tree,
# OMBRE_SCRIPT_DIR/ombre-NAME is a link to scripts/NAME, so that help2man
# and ManPageTest run it by its installed name.

set(OMBRE_SCRIPT_DIR ${PROJECT_BINARY_DIR}/scripts)
file(MAKE_DIRECTORY ${OMBRE_SCRIPT_DIR})
foreach(script train-bootstrap)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/scripts/${script} ${OMBRE_SCRIPT_DIR}/ombre-${script}
        SYMBOLIC)
    install(PROGRAMS scripts/${script} DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ombre-${script})
endforeach()

set(version ${PROJECT_BINARY_DIR}/share/version)
file(CONFIGURE OUTPUT ${version} CONTENT "${PROJECT_VERSION}\n")
install(FILES scripts/lib/command-line.sh ${version} DESTINATION ${CMAKE_INSTALL_DATADIR}/ombre)
