# The Debian package of everything that is installed: cpack -G DEB, or
# scripts/package, makes ombre_VERSION_amd64.deb.

set(docDir ${CMAKE_INSTALL_DATADIR}/doc/ombre)
# The README's pictures are under docs/, as in the source tree, so that its
# links hold.
install(FILES README.md packaging/copyright DESTINATION ${docDir})
install(DIRECTORY docs/ DESTINATION ${docDir}/docs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

# The changelog is kept by hand; its newest entry must be the version that
# the package carries.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog newestEntry LIMIT_COUNT 1)
if(NOT newestEntry MATCHES "^ombre \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog: the first entry is not version ${PROJECT_VERSION}")
endif()
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND ${GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${docDir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ombre)
set(CPACK_PACKAGE_CONTACT "Ombre maintainers <maintainers@users.noreply.c-seed-838bf464.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "detector of upright people in photographs")
set(CPACK_PACKAGE_DESCRIPTION [[
Ombre learns a linear support vector machine (LIBLINEAR) over the gradient
orientation histogram of an 80 x 200 window from photographs in which a
text file marks the people, searches images for people with it and counts
recall and precision. Ombrec does this from the console, Ombrew in a
window. ombre-prepare cuts annotated photographs into training strips,
ombre-detect searches whole photographs at every place and scale, and
ombre-evaluate scores what it found; ombre-train trains a detector for
whole photographs on the normalised histogram of gradients of a 64 x 128
window, in rounds that add its false alarms as background, and
ombre-train-bootstrap does the same for the 80 x 200 window's model.
ombre-gen-demo draws demo data and ombre-draw-boxes draws found boxes onto
their images.]])
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# dpkg-shlibdeps names the packages of Qt and LIBLINEAR that the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Debian's directories are 0755 whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
