# The import table: model and options -> exit status, counts, vertices in scene coordinates,
# bitmaps. The models are the library's test models (assimp-testmodels).
set(M ${CITYWALK_TEST_MODELS})
set(STREET ${CMAKE_SOURCE_DIR}/docs/examples/street)

# import_case(NAME MODEL|MODEL_TEXT ... [OPTIONS ...] STATUS S [SEED DIR] [SUMMARY ...]
#             [LINES ...] [OUTPUT RE] [BITMAPS N] [KIND K MAX_VERTICES N] [EXPECT FILE])
function(import_case name)
  cmake_parse_arguments(C "" "MODEL;MODEL_TEXT;STATUS;SEED;OUTPUT;BITMAPS;KIND;MAX_VERTICES;EXPECT;DIR_OVERRIDE"
                        "OPTIONS;SUMMARY;LINES" ${ARGN})
  string(REPLACE ";" "|" options "${C_OPTIONS}")
  string(REPLACE ";" "|" C_SUMMARY "${C_SUMMARY}")
  string(REPLACE ";" "|" C_LINES "${C_LINES}")
  set(defines -DIMPORT=$<TARGET_FILE:citywalk-import> -DCHECK=$<TARGET_FILE:citywalk-check>
              -DWORK=${CMAKE_CURRENT_BINARY_DIR}/import/${name} "-DMODEL=${C_MODEL}"
              "-DMODEL_TEXT=${C_MODEL_TEXT}" "-DOPTIONS=${options}" -DSTATUS=${C_STATUS}
              "-DSEED=${C_SEED}" "-DSUMMARY=${C_SUMMARY}" "-DLINES=${C_LINES}"
              "-DOUTPUT=${C_OUTPUT}" "-DKIND=${C_KIND}" "-DMAX_VERTICES=${C_MAX_VERTICES}"
              "-DDIR_OVERRIDE=${C_DIR_OVERRIDE}")
  if(DEFINED C_BITMAPS)
    list(APPEND defines -DBITMAPS=${C_BITMAPS})
  endif()
  if(C_EXPECT AND TARGET citywalk-replay)
    list(APPEND defines -DEXPECT=${CMAKE_CURRENT_SOURCE_DIR}/import/${C_EXPECT}
         -DREPLAY=$<TARGET_FILE:citywalk-replay> -DEXPECTER=$<TARGET_FILE:citywalk-expect>)
  endif()
  add_test(NAME import_${name} COMMAND ${CMAKE_COMMAND} ${defines}
                                       -P ${CMAKE_CURRENT_SOURCE_DIR}/import/run_case.cmake)
endfunction()

# box.obj: a unit cube, y up, six quads. Turned to the scene's axes ((x, y, z) -> (x, -y, -z)),
# standing on y = 0 and centred on --at 5,7: x 4.5..5.5, y 0..-1, z 6.5..7.5; its first face
# "f 4 3 2 1" (x = -0.5) starts at vertex 4 (-0.5, 0.5, 0.5) -> (4.5, -1, 6.5). The quads stay
# whole; --posts puts one post at each corner of the 1 x 1 footprint (radius 8).
import_case(obj_box_static MODEL ${M}/OBJ/box.obj OPTIONS --at 5,7 --posts STATUS 0
            SUMMARY "static list:  6 polygons, 24 vertices" "obstacle points: 4"
            LINES "0.6 0.6 0.6 4.5 -1 6.5 0 0 0 0 \\*" "4.5 -1 7.5 0 0 0 0 \\*" "4.5 0 7.5 0 0 0 0 \\*"
                  "4.5 0 6.5 1 0 0 0 \\*" "4.5 6.5" "5.5 6.5" "5.5 7.5" "4.5 7.5" BITMAPS 0)
# Into the example street as a moving object: the street keeps every value (its walls, car
# and posts are read back by the check), the cube is object 1, its size doubled.
import_case(obj_box_object MODEL ${M}/OBJ/box.obj SEED ${STREET}
            OPTIONS --as object --scale 2 --at 0,-80 --speed 0.5 --heading 90 STATUS 0
            SUMMARY "static list:  2 polygons, 8 vertices" "objects:      2 \\(15 polygons, 60 vertices\\)"
                    "obstacle points: 42"
            LINES "24 0 0 -80 0 0 -80 90 0" "0.5 1 -1" "0.6 0.6 0.6 -10 -1 -2 -1 0 0 0 0 \\*" BITMAPS 0)
# BoxTextured: 24 vertices in six textured quads; one bitmap. The front face's upper corner at
# +x has (u, v) = (3, 0) in the file (v down the picture): t = 1 - v = 1 (BMP rows bottom-up).
# The picture on the front face
# mirrored and upright as in the file (see the .expect), from the file, binary and embedded.
foreach(variant glTF glTF-Binary glTF-Embedded)
  file(GLOB box ${M}/glTF2/BoxTextured-${variant}/BoxTextured.gl*)
  import_case(box_textured_${variant} MODEL ${box} OPTIONS --size 20 STATUS 0
              SUMMARY "static list:  6 polygons, 24 vertices" "distinct textures: 1" BITMAPS 1
              LINES "(1 1 1 )?10 -20 -10 [01] 3 1 1 \\*[A-Za-z]+-[0-9a-f]+\\.bmp" EXPECT box_textured.expect)
endforeach()
# 121,496 triangles: simplified to fit an object (2,000) or what --max-vertices asks.
import_case(engine_object MODEL ${M}/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
            OPTIONS --as object --size 40 STATUS 0 KIND objects MAX_VERTICES 2000
            OUTPUT "simplified from [0-9]+ to [0-9]+ triangles to fit 2000 vertices")
import_case(engine_static_budget MODEL ${M}/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
            OPTIONS --max-vertices 300 --size 40 STATUS 0 KIND "static list" MAX_VERTICES 300
            OUTPUT "to fit 300 vertices")
# Refused cleanly: one line, status 1, the street folder as it was.
foreach(bad invalid/empty.obj invalid/malformed.obj invalid/empty.3ds
            glTF2/IndexOutOfRange/IndexOutOfRange.gltf
            glTF2/IndexOutOfRange/AllIndicesOutOfRange.gltf
            glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb)
  string(REGEX REPLACE "[/.]" "_" name ${bad})
  import_case(refused_${name} MODEL ${M}/${bad} SEED ${STREET} STATUS 1)
endforeach()
import_case(refused_points_only MODEL_TEXT "v 0 0 0\nv 1 0 0\nv 0 1 0\np 1\np 2\nl 1 2 3\n"
            SEED ${STREET} STATUS 1 OUTPUT "no polygons")
import_case(refused_scale MODEL ${M}/OBJ/box.obj OPTIONS --scale -1 SEED ${STREET} STATUS 1)
import_case(refused_far MODEL ${M}/OBJ/box.obj OPTIONS --at 1e7,0 SEED ${STREET} STATUS 1)
import_case(refused_part MODEL ${M}/OBJ/box.obj OPTIONS --as object --part nothing:x:40:4
            SEED ${STREET} STATUS 1 OUTPUT "no node named 'nothing'")
import_case(refused_unwritable MODEL ${M}/OBJ/box.obj DIR_OVERRIDE /proc/self STATUS 1
            OUTPUT "cannot write")
# The milk truck (glTF 1), modelled along +x and turned by --turn -90, as an object with its two
# wheel nodes as parts. Both wheel nodes stand at the same height in the file (translation y
# 0.427722 = the wheels' radius), so both pivots lie one radius, about 2.6, above the ground,
# the front pair ahead (-z) and the rear pair behind (+z): the library's glTF 1 reader turns
# a node's translation by its rotation (10 degrees), which put the rear pivot 3 units higher.
import_case(truck_wheels MODEL ${M}/glTF/CesiumMilkTruck/CesiumMilkTruck.gltf
            OPTIONS --as object --turn -90 --size 30 --part Geometry-mesh001Node:x:40:4
                    --part meshInst962Node:x:40:4
            STATUS 0 SUMMARY "objects:      1 "
            LINES "[-0-9.e]+ -2\\.6[0-9]+ -[0-9.]+ 0 0 40 4" "[-0-9.e]+ -2\\.6[0-9]+ [0-9.]+ 0 0 40 4")
# A model that is all one part: a part takes effect after a polygon closing with its tag, so
# the list starts with a polygon of no area at the first corner (box.obj's vertex 4 turned to
# (-0.5, -1, -0.5)) whose closing vertex carries part 0; the cube's 24 vertices follow.
import_case(obj_box_all_part MODEL ${M}/OBJ/box.obj OPTIONS --as object --part box.obj:y:90:10
            STATUS 0 SUMMARY "objects:      1 \\(7 polygons, 27 vertices\\)"
            LINES "27 0 0 0 0 0 0 0 0" "0.6 0.6 0.6 -10 -0.5 -1 -0.5 0 0 0 0 \\*"
                  "0 -0.5 -1 -0.5 1 0 0 0 \\*" "0.6 0.6 0.6 0 -0.5 -1 -0.5 0 0 0 0 \\*")
