# Checks that every #include under src/ points down the floors:
#
#   text, platform  ->  protocol (readings included)  ->  stations
#     ->  session, and beside it fleet, history, alarms, varnexctl
#     ->  varnexd (over fleet); overview (over fleet and alarms)
#     ->  settings, automation, about (over session)  ->  ui  ->  app
#
# fleet, history, alarms, varnexctl and varnexd use protocol and stations,
# never session or ui; varnexd polls through fleet; nothing but ui and app
# includes a Qt header.
# Run as: cmake -DSOURCE_DIR=<repository> -P CheckFloors.cmake
cmake_minimum_required(VERSION 3.25)
set(below_platform "")
set(below_text "")
set(below_protocol text platform)
set(below_stations protocol ${below_protocol})
set(below_session stations ${below_stations})
foreach(beside fleet history alarms varnexctl)
  set(below_${beside} stations ${below_stations})
endforeach()
set(below_varnexd fleet ${below_fleet})
set(below_overview fleet alarms ${below_fleet})
foreach(over settings automation about)
  set(below_${over} session ${below_session})
endforeach()
set(below_ui settings automation about session overview fleet history alarms ${below_session})
set(below_app ui ${below_ui})

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
set(faults "")
foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" floor "${source}")
  if(NOT DEFINED below_${floor})
    list(APPEND faults "src/${source}: the folder ${floor} has no place among the floors")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/")
      set(target "${CMAKE_MATCH_1}")
      if(NOT target STREQUAL floor AND NOT target IN_LIST below_${floor})
        list(APPEND faults "src/${source}: ${floor} may not include ${target}: ${line}")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<Q" AND NOT floor MATCHES "^(ui|app)$")
      list(APPEND faults "src/${source}: a Qt header outside the Qt layer: ${line}")
    endif()
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Includes against the floors:\n${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to the floors")
