# Runs make-era-file into OUT and compares what it wrote with the files shipped in SHIPPED.
# cmake -DTOOL=... -DOUT=... -DSHIPPED=... -P CheckShippedData.cmake
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make-era-file failed (${result})")
endif()
foreach(name 元号.lgn 時代.ler)
  file(READ ${OUT}/${name} generated HEX)
  file(READ ${SHIPPED}/${name} shipped HEX)
  if(NOT generated STREQUAL shipped)
    message(FATAL_ERROR "${SHIPPED}/${name} differs from what make-era-file writes now; "
                        "run make-era-file data/ﾗｲﾌﾞﾗﾘ and review the difference")
  endif()
endforeach()
