# The Debian package (cpack -G DEB in the build folder): the programs, the libraries, the headers
# and the development files, the data and the desktop files, in one package "tamber" installed
# under /usr. Its library dependencies are found by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamber)
set(CPACK_PACKAGE_VENDOR Haldris)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese calendar tool (sexagenary years, era names) and its chronology library")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamber converts Western years and years of Japanese era names to their sexagenary stem-branch
pair and finds the years of a pair, in a dialog (tamber) and on the command line (tamber-cli).
Nenpyo (nenpyo) keeps a chronology of events with their era years, periods and base-year counts,
with a sample chronology of Japanese history.
Corvane, the library under it, keeps era-name, event and base-year tables in code page 932 text
files; its headers, CMake package and pkg-config file are included, and corvane, a command-line
tool that checks table files and converts them to and from UTF-8 JSON and CSV.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The desktop entry is written at install time with the prefix the package installs to (/usr),
# which the install step sees only when CPack stages the files through DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Haldris <tamber@haldris.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own libraries resolve inside the package, not against the system.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/framework ${PROJECT_BINARY_DIR}/corvane)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The dialog needs a platform plugin of Qt, and Qt's Japanese translations for its standard
# dialogs. The help file opens in a CHM viewer if there is one (through xdg-open); without one,
# Tamber shows the help pages in a window of its own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-translations-l10n, xdg-utils")
# The Python module (lib/python3/dist-packages/corvane...so) is for the Python it was built for.
if(CORVANE_PYTHON_RECOMMENDS)
  string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", ${CORVANE_PYTHON_RECOMMENDS}")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xchm")
set(CPACK_STRIP_FILES ON)
include(CPack)
