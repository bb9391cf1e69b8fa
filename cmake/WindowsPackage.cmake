# The Windows zip (cpack -G ZIP in the cross build folder): tamber-cli.exe, corvane.exe when the
# tool is built, the two DLLs and the compiler's runtime DLLs in bin/, the shipped era and period
# files and the help in share/tamber/, the headers and import libraries for other programs.
install(FILES ${TAMBER_MINGW_RUNTIME} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

# Without the dialog (no Windows Qt) the help is compiled here; chmcmd runs on the build machine.
if(NOT TARGET tamber)
  find_program(CHMCMD chmcmd)
  if(CHMCMD)
    set(TAMBER_HELP_DIR ${PROJECT_SOURCE_DIR}/app/tamber/resources/help)
    file(GLOB TAMBER_HELP_SOURCES CONFIGURE_DEPENDS ${TAMBER_HELP_DIR}/*)
    add_custom_command(
        OUTPUT ${PROJECT_BINARY_DIR}/help/tamber.chm
        COMMAND ${CHMCMD} --no-html-scan --verbosity 0 ${TAMBER_HELP_DIR}/tamber.hhp > /dev/null
        WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/help
        DEPENDS ${TAMBER_HELP_SOURCES}
        COMMENT "Compiling the help file tamber.chm"
        VERBATIM)
    file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/help)
    add_custom_target(tamber-help ALL DEPENDS ${PROJECT_BINARY_DIR}/help/tamber.chm)
    install(FILES ${PROJECT_BINARY_DIR}/help/tamber.chm DESTINATION ${CMAKE_INSTALL_DATADIR}/tamber
            COMPONENT runtime)
  endif()
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tamber)
set(CPACK_PACKAGE_VENDOR Haldris)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tamber-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The zip unpacked, its programs run under wine64 on the shipped files.
if(TAMBER_BUILD_TESTS AND CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME windows_zip_test
           COMMAND ${PROJECT_SOURCE_DIR}/tests/windows-zip-test ${PROJECT_BINARY_DIR} ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
