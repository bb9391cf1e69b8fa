# Runs make-sample-chronology into OUT/年表 (beside a copy of the shipped ﾗｲﾌﾞﾗﾘ) and compares what
# it wrote with the files shipped in SHIPPED/年表.
# cmake -DTOOL=... -DSOURCE=... -DOUT=... -DSHIPPED=... -P CheckShippedSample.cmake
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/年表)
file(COPY ${SHIPPED}/ﾗｲﾌﾞﾗﾘ DESTINATION ${OUT})
execute_process(COMMAND ${TOOL} ${SOURCE} ${OUT}/年表 RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make-sample-chronology failed (${result})")
endif()
foreach(name 日本史.lev 日本史.lby 日本史.nenpyo)
  file(READ ${OUT}/年表/${name} generated HEX)
  file(READ ${SHIPPED}/年表/${name} shipped HEX)
  if(NOT generated STREQUAL shipped)
    message(FATAL_ERROR "${SHIPPED}/年表/${name} differs from what make-sample-chronology writes now; "
                        "run make-sample-chronology tools/sample/日本史.txt data/年表 and review the difference")
  endif()
endforeach()
