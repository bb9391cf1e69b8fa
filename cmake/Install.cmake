# Installing the libraries for other programs: headers, shared libraries, the CMake package
# (find_package(Corvane)) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS framework corvane EXPORT CorvaneTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime             # Windows DLLs
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development         # their import libraries
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/framework/include/framework
                  ${PROJECT_BINARY_DIR}/framework/include/framework
                  ${PROJECT_SOURCE_DIR}/corvane/include/corvane
                  ${PROJECT_BINARY_DIR}/corvane/include/corvane
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development FILES_MATCHING PATTERN "*.h")
install(EXPORT CorvaneTargets NAMESPACE Corvane::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Corvane COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/CorvaneConfig.cmake.in
    ${PROJECT_BINARY_DIR}/CorvaneConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Corvane)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CorvaneConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CorvaneConfig.cmake ${PROJECT_BINARY_DIR}/CorvaneConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Corvane COMPONENT development)
# The pkg-config file names its prefix relative to its own folder, so that an installed tree
# can be moved (cmake --install --prefix, a package unpacked elsewhere).
file(RELATIVE_PATH CORVANE_PC_PREFIX_FROM_PCDIR ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" CORVANE_PC_PREFIX_FROM_PCDIR "${CORVANE_PC_PREFIX_FROM_PCDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/corvane.pc.in ${PROJECT_BINARY_DIR}/corvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/corvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT development)

# tamber_install_icons(DIR NAME): a program's icons in the desktop's icon theme, NAME-SIZE.png
# and NAME.svg from DIR, all installed as NAME.
function(tamber_install_icons dir name)
  foreach(size 16 32 48 256)
    install(FILES ${dir}/${name}-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${name}.png COMPONENT runtime)
  endforeach()
  install(FILES ${dir}/${name}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          COMPONENT runtime)
endfunction()

# The program: tamber and tamber-cli, the help file, the shipped era and period files, the
# desktop entry and the icons. Tamber's data folder is share/tamber: tamber.chm, help/ and ﾗｲﾌﾞﾗﾘ/ (not
# share/doc, which systems may leave out, while the help button needs the file). The programs
# find it relative to their own folder, so an installed tree works wherever it is unpacked.
if(TARGET tamber-cli OR TARGET tamber)
  set(TAMBER_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tamber)
  file(RELATIVE_PATH TAMBER_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_FULL_DATADIR}/tamber)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/ﾗｲﾌﾞﾗﾘ" DESTINATION ${TAMBER_INSTALL_DATADIR}
          COMPONENT runtime)
  # The programs look for the shipped files there first (app/shared/shipped/ShippedFiles.h).
  target_compile_definitions(shipped-files PRIVATE TAMBER_DATA_FROM_BIN="${TAMBER_DATA_FROM_BIN}")
endif()
if(TARGET tamber-cli)
  install(TARGETS tamber-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endif()
if(TARGET tamber)
  install(TARGETS tamber RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
  install(FILES ${PROJECT_BINARY_DIR}/app/tamber/dialog/tamber.chm DESTINATION ${TAMBER_INSTALL_DATADIR}
          COMPONENT runtime)
  # The pages of tamber.chm as they are, for the help window of a desktop without a CHM viewer.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/tamber/resources/help/ DESTINATION ${TAMBER_INSTALL_DATADIR}/help
          COMPONENT runtime FILES_MATCHING PATTERN "*.html" PATTERN "*.css")
  tamber_install_icons(${PROJECT_SOURCE_DIR}/app/tamber/resources tamber)
  # The desktop entry starts Tamber in its data folder (Path=), so that the era-file dialog,
  # which opens on ﾗｲﾌﾞﾗﾘ under the current directory, shows the shipped files. The folder is
  # only known at install time (cmake --install --prefix, or the package's /usr).
  install(CODE "
    file(READ \"${PROJECT_SOURCE_DIR}/app/tamber/resources/tamber.desktop\" entry)
    string(APPEND entry \"Path=\${CMAKE_INSTALL_PREFIX}/${TAMBER_INSTALL_DATADIR}\\n\")
    file(WRITE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/tamber.desktop\" \"\${entry}\")
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/tamber.desktop\")
  " COMPONENT runtime)
endif()

# Nenpyo: the program, its sample chronology in share/tamber/年表 (beside ﾗｲﾌﾞﾗﾘ, which its document
# names as ../ﾗｲﾌﾞﾗﾘ), its help page, desktop entry and icons. It finds them from its own folder.
if(TARGET nenpyo)
  install(TARGETS nenpyo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/年表" DESTINATION ${TAMBER_INSTALL_DATADIR} COMPONENT runtime)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/nenpyo/help/ DESTINATION ${TAMBER_INSTALL_DATADIR}/nenpyo-help
          COMPONENT runtime)
  install(FILES ${PROJECT_SOURCE_DIR}/app/nenpyo/resources/nenpyo.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
  tamber_install_icons(${PROJECT_SOURCE_DIR}/app/nenpyo/resources nenpyo)
endif()

# The corvane tool for table files (no data of its own; corvane date reads Tamber's shipped era
# file where the program installs it).
if(TARGET corvane-tool)
  install(TARGETS corvane-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endif()

if(PROJECT_IS_TOP_LEVEL AND WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)
elseif(PROJECT_IS_TOP_LEVEL)
  include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
endif()

# Tests of the installed tree (the example host program through find_package and pkg-config) and
# of the Debian package. They install or package this build folder, so CTest runs them after the
# build; not in the sanitizer build, whose libraries only sanitized programs can link.
if(TAMBER_BUILD_TESTS AND PROJECT_IS_TOP_LEVEL AND NOT TAMBER_SANITIZE AND NOT TAMBER_FUZZ AND NOT WIN32)
  add_test(NAME install_test
           COMMAND ${PROJECT_SOURCE_DIR}/tests/install-test ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
  if(TARGET tamber AND TARGET tamber-cli)
    add_test(NAME package_test
             COMMAND ${PROJECT_SOURCE_DIR}/tests/package-test ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR})
  endif()
endif()
