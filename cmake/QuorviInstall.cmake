# SPDX-License-Identifier: MIT
# `cmake --install`: the programs (quorvi-capture in the private folder), the hook library, the metafile module, the help pages and the desktop integration
# (desktop entry, AppStream metainfo, hicolor icon) in the usual places of a Linux system.
#
# quorvi-studio finds its help pages beside itself ("help" next to the program), so the program
# lives in <libdir>/quorvi-studio with a link to the pages under <datadir>, and <bindir> holds a
# link to the program.
include(GNUInstallDirs)

set(QUORVI_PKG_DIR "${CMAKE_INSTALL_LIBDIR}/quorvi-studio")
set(QUORVI_HELP_DIR "${CMAKE_INSTALL_DATADIR}/quorvi-studio/help")

# The metafile module lives in the program's private folder; both programs name that folder in
# their installed run path, relative to themselves.
install(TARGETS quorvi_metafile LIBRARY DESTINATION ${QUORVI_PKG_DIR})
file(RELATIVE_PATH QUORVI_BIN_TO_PKG "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${QUORVI_PKG_DIR}")

if(TARGET quorvi)
    set_target_properties(quorvi PROPERTIES INSTALL_RPATH "$ORIGIN/${QUORVI_BIN_TO_PKG}")
    install(TARGETS quorvi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # `quorvi capture` runs quorvi-capture from the private folder.
    target_compile_definitions(quorvi PRIVATE QUORVI_BIN_TO_PKG="${QUORVI_BIN_TO_PKG}")
    set_target_properties(quorvi-capture PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS quorvi-capture RUNTIME DESTINATION ${QUORVI_PKG_DIR})
endif()
if(TARGET tavixhook)
    install(TARGETS tavixhook LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
endif()
if(TARGET quorvi-studio)
    set_target_properties(quorvi-studio PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS quorvi-studio RUNTIME DESTINATION ${QUORVI_PKG_DIR})
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/help/ DESTINATION ${QUORVI_HELP_DIR})
    install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/org.quorvi.Studio.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/org.quorvi.Studio.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/IDR_MAINFRAME.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME org.quorvi.Studio.svg)
    # Relative links, so that a staged install (DESTDIR) stays correct when moved into place. The
    # prefix is read when installing: `cmake --install --prefix` may differ from the configured one.
    file(RELATIVE_PATH QUORVI_HELP_LINK "/prefix/${CMAKE_INSTALL_LIBDIR}/quorvi-studio"
         "/prefix/${CMAKE_INSTALL_DATADIR}/quorvi-studio/help")
    file(RELATIVE_PATH QUORVI_BIN_LINK "/prefix/${CMAKE_INSTALL_BINDIR}"
         "/prefix/${CMAKE_INSTALL_LIBDIR}/quorvi-studio/quorvi-studio")
    install(CODE "
        set(pkg \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/quorvi-studio\")
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(REMOVE \"\${pkg}/help\" \"\${bin}/quorvi-studio\")
        file(CREATE_LINK \"${QUORVI_HELP_LINK}\" \"\${pkg}/help\" SYMBOLIC)
        file(CREATE_LINK \"${QUORVI_BIN_LINK}\" \"\${bin}/quorvi-studio\" SYMBOLIC)
        message(STATUS \"Linked: \${bin}/quorvi-studio -> ${QUORVI_BIN_LINK}\")
    ")
endif()
