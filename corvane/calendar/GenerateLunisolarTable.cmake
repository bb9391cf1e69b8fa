# Turns the lunisolar months (data/calendar/lunisolar-701-1872.tsv) into a C++ table, on the build
# host, so that every build (the cross builds too) compiles the same facts into the library.
#   cmake -DINPUT=<tsv> -DOUTPUT=<cpp> -P GenerateLunisolarTable.cmake
# A line that does not follow the file's format stops the build.
cmake_minimum_required(VERSION 3.20)

file(STRINGS "${INPUT}" lines ENCODING UTF-8)
set(body "")
set(expected_year 701)
set(expected_jdn "")
foreach(line IN LISTS lines)
  if(line MATCHES "^#" OR line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^([0-9]+)\t([0-9]+)\t([0-9]+-[0-9]+-[0-9]+[JG])\t(.+)$")
    message(FATAL_ERROR "${INPUT}: not a line of lunisolar months: ${line}")
  endif()
  set(year ${CMAKE_MATCH_1})
  set(jdn ${CMAKE_MATCH_2})
  set(months "${CMAKE_MATCH_4}")
  if(NOT year EQUAL expected_year)
    message(FATAL_ERROR "${INPUT}: year ${year} where ${expected_year} was expected")
  endif()
  if(NOT expected_jdn STREQUAL "" AND NOT jdn EQUAL expected_jdn)
    message(FATAL_ERROR "${INPUT}: ${year} begins on ${jdn}, the months before end on ${expected_jdn}")
  endif()
  string(REPLACE " " ";" months "${months}")
  set(leap 0)
  set(mask 0)
  set(bit 0)
  set(next_month 1)
  set(days 0)
  foreach(month IN LISTS months)
    if(month MATCHES "^閏([0-9]+):(29|30)$")
      math(EXPR previous "${next_month} - 1")
      if(NOT leap EQUAL 0 OR NOT CMAKE_MATCH_1 EQUAL previous)
        message(FATAL_ERROR "${INPUT}: ${year}: leap month ${month} out of place")
      endif()
      set(leap ${CMAKE_MATCH_1})
    elseif(month MATCHES "^([0-9]+):(29|30)$")
      if(NOT CMAKE_MATCH_1 EQUAL next_month)
        message(FATAL_ERROR "${INPUT}: ${year}: month ${month} where ${next_month} was expected")
      endif()
      math(EXPR next_month "${next_month} + 1")
    else()
      message(FATAL_ERROR "${INPUT}: ${year}: not a month: ${month}")
    endif()
    if(CMAKE_MATCH_2 EQUAL 30)
      math(EXPR mask "${mask} | (1 << ${bit})")
    endif()
    math(EXPR days "${days} + ${CMAKE_MATCH_2}")
    math(EXPR bit "${bit} + 1")
  endforeach()
  if(NOT next_month EQUAL 13)
    message(FATAL_ERROR "${INPUT}: ${year} does not have twelve months")
  endif()
  math(EXPR expected_jdn "${jdn} + ${days}")
  math(EXPR expected_year "${year} + 1")
  string(APPEND body "    {${jdn}, ${leap}, ${mask}},   // ${year}\n")
endforeach()
if(NOT expected_year EQUAL 1873)
  message(FATAL_ERROR "${INPUT}: the years end with ${expected_year} - 1, not with 1872")
endif()

set(text "// Generated from data/calendar/lunisolar-701-1872.tsv by GenerateLunisolarTable.cmake: do not edit.
#include \"calendar/LunisolarTable.h\"

namespace corvane::calendar {

const SLunisolarYear g_lunisolarYears[LUNISOLAR_YEARS] = {
${body}};

}   // namespace corvane::calendar
")
file(WRITE "${OUTPUT}" "${text}")
