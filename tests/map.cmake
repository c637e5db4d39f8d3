# citywalk-map: the tool's table of hand-made maps (heights, a courtyard, broken footprints,
# blocks with traffic), the same data in every format, refusals, and the demo town fetched
# with npm at test time (skipped without npm or the network).
if(NOT TARGET citywalk-map)
  return()
endif()

# The same map in every format libosmium writes.
add_executable(osm_convert ${CMAKE_CURRENT_SOURCE_DIR}/map/osm_convert.cpp)
target_link_libraries(osm_convert PRIVATE citywalk_map)

# The tool's code on the hand-made maps: buildings, walls and posts, the ground, traffic.
file(GLOB MAP_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/map/*_test.cpp)
add_executable(citywalk_map_tests ${MAP_TEST_SOURCES})
target_include_directories(citywalk_map_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(citywalk_map_tests PRIVATE citywalk_map citywalk_core platform_headless
                      GTest::gtest_main)
target_compile_definitions(citywalk_map_tests PRIVATE
                           CITYWALK_MAP_DATA="${CMAKE_CURRENT_SOURCE_DIR}/map")
gtest_discover_tests(citywalk_map_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS map)

# map_case(NAME MAP|MAP_TEXT ... [OPTIONS ...] STATUS S [SEED DIR] [OUTPUT RE] [DIR_OVERRIDE D])
function(map_case name)
  cmake_parse_arguments(C "" "MAP;MAP_TEXT;STATUS;SEED;OUTPUT;DIR_OVERRIDE" "OPTIONS" ${ARGN})
  string(REPLACE ";" "|" options "${C_OPTIONS}")
  set(defines -DTOOL=$<TARGET_FILE:citywalk-map> -DCHECK=$<TARGET_FILE:citywalk-check>
              -DWORK=${CMAKE_CURRENT_BINARY_DIR}/map/${name} "-DMAP=${C_MAP}" "-DOPTIONS=${options}"
              -DSTATUS=${C_STATUS} "-DSEED=${C_SEED}" "-DOUTPUT=${C_OUTPUT}"
              "-DDIR_OVERRIDE=${C_DIR_OVERRIDE}")
  if(DEFINED C_MAP_TEXT OR "MAP_TEXT" IN_LIST C_KEYWORDS_MISSING_VALUES)
    list(APPEND defines "-DMAP_TEXT=${C_MAP_TEXT}")  # an empty map too
  endif()
  add_test(NAME map_${name} COMMAND ${CMAKE_COMMAND} ${defines}
                                    -P ${CMAKE_CURRENT_SOURCE_DIR}/map/run_case.cmake)
  set_tests_properties(map_${name} PROPERTIES LABELS map)
endfunction()

set(MAPS ${CMAKE_CURRENT_SOURCE_DIR}/map)
set(STREET ${CMAKE_SOURCE_DIR}/docs/examples/street)
foreach(map heights courtyard broken blocks)
  map_case(${map} MAP ${MAPS}/${map}.osm STATUS 0)
  add_test(NAME map_same_scene_${map}
           COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:citywalk-map>
                   -DCONVERT=$<TARGET_FILE:osm_convert> -DMAP=${MAPS}/${map}.osm
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/map/same-${map}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/map/same_scene.cmake)
  set_tests_properties(map_same_scene_${map} PROPERTIES LABELS map)
endforeach()
# Refused: one line, status 1 (2 for a missing map), the folder as it was (a scene that was
# to be replaced included).
map_case(refused_empty MAP_TEXT "" OPTIONS --replace STATUS 1 SEED ${STREET}
         OUTPUT "not readable OpenStreetMap data")
map_case(refused_not_osm MAP_TEXT "name,lat,lon\nhall,52,5\n" OPTIONS --replace STATUS 1
         SEED ${STREET})
map_case(refused_truncated MAP ${MAPS}/truncated.osm.pbf STATUS 1 OUTPUT "PBF error: .* cut off")
map_case(refused_corrupt MAP ${MAPS}/corrupt.osm.pbf OPTIONS --replace STATUS 1 SEED ${STREET})
map_case(refused_radius_zero MAP ${MAPS}/blocks.osm OPTIONS --radius 0 STATUS 1 OUTPUT "--radius")
map_case(refused_radius_far MAP ${MAPS}/blocks.osm OPTIONS --radius 20000 STATUS 1)
map_case(refused_off_the_globe MAP ${MAPS}/blocks.osm OPTIONS --origin 95,5 STATUS 1
         OUTPUT "off the globe")
map_case(refused_nothing_near MAP ${MAPS}/blocks.osm OPTIONS --origin 10,10 STATUS 1
         OUTPUT "no buildings or streets within 10000 m")
map_case(refused_too_many MAP ${MAPS}/blocks.osm OPTIONS --cars 30 --people 30 STATUS 1)
map_case(refused_scene_there MAP ${MAPS}/blocks.osm STATUS 1 SEED ${STREET}
         OUTPUT "holds a scene already")
map_case(replaces_scene MAP ${MAPS}/blocks.osm OPTIONS --replace STATUS 0 SEED ${STREET})
map_case(refused_missing_map MAP ${MAPS}/no-such-map.osm STATUS 2 OUTPUT "no such file")
map_case(refused_unwritable MAP ${MAPS}/blocks.osm STATUS 1 DIR_OVERRIDE /proc/self
         OUTPUT "cannot write")

# The demo town, fetched at test time (skipped without npm or the network).
add_test(NAME map_demo_town
         COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:citywalk-map>
                 -DCHECK=$<TARGET_FILE:citywalk-check> -DCONVERT=$<TARGET_FILE:osm_convert>
                 -DSOURCE=${CMAKE_SOURCE_DIR} -DVERSION=2.42.2 -DORIGIN=41.94485,-85.63400
                 -DCACHE=${CMAKE_BINARY_DIR}/town-cache -DWORK=${CMAKE_CURRENT_BINARY_DIR}/map/town
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/map/demo_town.cmake)
set_tests_properties(map_demo_town PROPERTIES LABELS "map;network" SKIP_REGULAR_EXPRESSION
                     "map_demo_town: skipped: " TIMEOUT 300)
