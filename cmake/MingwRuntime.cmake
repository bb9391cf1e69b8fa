# The runtime DLLs of the MinGW compiler that every program and DLL of the Windows build needs:
# copied beside them in the build and installed with them.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE TAMBER_LIBSTDCXX_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
                OUTPUT_VARIABLE TAMBER_LIBGCC_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(TAMBER_WINPTHREAD_DLL libwinpthread-1.dll PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH)
set(TAMBER_MINGW_RUNTIME ${TAMBER_LIBSTDCXX_DLL} ${TAMBER_LIBGCC_DLL} ${TAMBER_WINPTHREAD_DLL})
foreach(dll IN LISTS TAMBER_MINGW_RUNTIME)
  if(NOT EXISTS "${dll}")
    message(FATAL_ERROR "MinGW runtime DLL not found: ${dll}")
  endif()
  file(COPY ${dll} DESTINATION ${PROJECT_BINARY_DIR}/bin)
endforeach()
