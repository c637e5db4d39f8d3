# The demo town: the walkthrough town of the OpenStreetMap editor iD (npm package
# @openstreetmap/id VERSION, data/intro_graph.json; OpenStreetMap data, ODbL), fetched with
# npm at test time into CACHE (kept there for the next run), turned into XML by
# scripts/town_osm.js and built by citywalk-map round Main Street, as scripts/run.sh town
# does. Skipped, saying why, without npm or node or when the registry cannot be reached.
# Checks: the counts placed and left out, a scene that reads cleanly, and the same scene from
# PBF.
set(tarball ${CACHE}/openstreetmap-id-${VERSION}.tgz)
if(NOT EXISTS ${tarball})
  find_program(NPM npm)
  if(NOT NPM)
    message("map_demo_town: skipped: npm is not installed (scripts/deps.sh test installs it)")
    return()
  endif()
  file(MAKE_DIRECTORY ${CACHE})
  execute_process(COMMAND ${NPM} pack @openstreetmap/id@${VERSION} --pack-destination ${CACHE}
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE err TIMEOUT 240)
  if(NOT result EQUAL 0 OR NOT EXISTS ${tarball})
    message("map_demo_town: skipped: npm pack @openstreetmap/id@${VERSION} failed (no network?): ${err}")
    return()
  endif()
endif()
find_program(NODE node)
if(NOT NODE)
  message("map_demo_town: skipped: node is not installed")
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${tarball} package/data/intro_graph.json
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS ${WORK}/package/data/intro_graph.json)
  message(FATAL_ERROR "${tarball} holds no package/data/intro_graph.json")
endif()
execute_process(COMMAND ${NODE} ${SOURCE}/scripts/town_osm.js ${WORK}/package/data/intro_graph.json
                        ${WORK}/town.osm RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "scripts/town_osm.js failed")
endif()
execute_process(COMMAND ${CONVERT} ${WORK}/town.osm ${WORK}/town.osm.pbf RESULT_VARIABLE result)
foreach(input town.osm town.osm.pbf)
  execute_process(COMMAND ${TOOL} ${WORK}/${input}.scene ${WORK}/${input} --origin ${ORIGIN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "citywalk-map ${input}: status ${result}\n${out}${err}")
  endif()
endforeach()
message("${out}${err}")
# The town as the data holds it: 357 buildings, none left out; 25 cars and 25 people.
foreach(line "buildings: 357 placed" "left out:  0 not closed, 0 missing nodes or members, 0 without area, 0 refused by the area assembler, 0 beyond the radius"
             "cars:      25 on" "people:    25 on" "0 left out that stalled")
  string(FIND "${out}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the report lacks '${line}'")
  endif()
endforeach()
execute_process(COMMAND ${CHECK} ${WORK}/town.osm.scene/Город.mts RESULT_VARIABLE result
                OUTPUT_VARIABLE report)
if(NOT result EQUAL 0 OR NOT report MATCHES "0 error\\(s\\), 0 warning\\(s\\)")
  message(FATAL_ERROR "the town does not read cleanly:\n${report}")
endif()
file(SHA256 ${WORK}/town.osm.scene/Город.mts a)
file(SHA256 ${WORK}/town.osm.pbf.scene/Город.mts b)
if(NOT a STREQUAL b)
  message(FATAL_ERROR "the town read from PBF is not the same scene")
endif()
