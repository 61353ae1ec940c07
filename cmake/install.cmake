# `cmake --install` and the Debian package (cpack): the layout is
#   bin/vantrel                   the command
#   lib/libvantrel*.so            the component library, the object runtime and
#                                 the command's own library; lib/libvantrel_frame.a
#   include/vantrel/...           the headers to host the library with the runtime
#   share/vantrel/                what the library ships besides (client/)
#   share/doc/vantrel/            README, docs/ and the example pages
# Binaries find their libraries through RUNPATH $ORIGIN and $ORIGIN/../lib, so
# the tree can be installed under any prefix and moved as a whole.
install(TARGETS vantrel_launcher RUNTIME DESTINATION bin)
install(TARGETS vantrel_command vantrel_library vantrel_runtime LIBRARY DESTINATION lib)
install(TARGETS vantrel_frame ARCHIVE DESTINATION lib)
# The frame's headers all go (they include one another and only the standard
# library), with the runtime's.
install(DIRECTORY frame/ DESTINATION include/vantrel/frame FILES_MATCHING PATTERN "*.h")
install(FILES platform/posix/com.h platform/posix/runtime.h
        DESTINATION include/vantrel/platform/posix)
install(FILES README.md DESTINATION share/doc/vantrel)
# docs/ keeps its folder, so the links between README and docs work once installed.
install(DIRECTORY docs DESTINATION share/doc/vantrel)
install(DIRECTORY examples/ DESTINATION share/doc/vantrel/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "The Vantrel project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "UI components for server-generated web pages, and the vantrel page host")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vantrel maintainers <vantrel@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1, libduktape207")
include(CPack)
