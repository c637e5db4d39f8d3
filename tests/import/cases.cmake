# The import table: model and options -> exit status, counts, vertices in scene coordinates,
# bitmaps. The models are the library's test models (assimp-testmodels).
set(M ${CITYWALK_TEST_MODELS})
set(STREET ${CMAKE_SOURCE_DIR}/docs/examples/street)

find_program(CONVERT_PROGRAM convert REQUIRED)

# import_case(NAME MODEL|MODEL_TEXT ... [OPTIONS ...] STATUS S [SEED DIR] [SUMMARY ...]
#             [LINES ...] [OUTPUT RE] [NOT_OUTPUT RE] [STDOUT RE] [BITMAPS N [BOTTOM_LEFT BGR]]
#             [KIND K MAX_VERTICES N] [EXPECT FILE] [FILES NAME=TEXT ...] [PICTURES SPEC ...]
#             [SETTINGS "NAME LOW HIGH" ...] [REPEAT] [TIMEOUT SECONDS])
function(import_case name)
  cmake_parse_arguments(C "REPEAT"
                        "MODEL;MODEL_TEXT;STATUS;SEED;OUTPUT;NOT_OUTPUT;STDOUT;BITMAPS;BOTTOM_LEFT;KIND;MAX_VERTICES;EXPECT;DIR_OVERRIDE;TIMEOUT"
                        "OPTIONS;SUMMARY;LINES;FILES;PICTURES;SETTINGS" ${ARGN})
  foreach(list OPTIONS SUMMARY LINES FILES PICTURES SETTINGS)
    string(REPLACE ";" "|" C_${list} "${C_${list}}")
  endforeach()
  set(defines -DIMPORT=$<TARGET_FILE:citywalk-import> -DCHECK=$<TARGET_FILE:citywalk-check>
              -DSET=$<TARGET_FILE:citywalk-set> -DCONVERT=${CONVERT_PROGRAM}
              -DWORK=${CMAKE_CURRENT_BINARY_DIR}/import/${name} "-DMODEL=${C_MODEL}"
              "-DMODEL_TEXT=${C_MODEL_TEXT}" "-DOPTIONS=${C_OPTIONS}" -DSTATUS=${C_STATUS}
              "-DSEED=${C_SEED}" "-DSUMMARY=${C_SUMMARY}" "-DLINES=${C_LINES}"
              "-DOUTPUT=${C_OUTPUT}" "-DNOT_OUTPUT=${C_NOT_OUTPUT}" "-DSTDOUT=${C_STDOUT}"
              "-DKIND=${C_KIND}" "-DMAX_VERTICES=${C_MAX_VERTICES}"
              "-DDIR_OVERRIDE=${C_DIR_OVERRIDE}" "-DFILES=${C_FILES}" "-DPICTURES=${C_PICTURES}"
              "-DBOTTOM_LEFT=${C_BOTTOM_LEFT}" "-DSETTINGS=${C_SETTINGS}" "-DREPEAT=${C_REPEAT}")
  if(DEFINED C_BITMAPS)
    list(APPEND defines -DBITMAPS=${C_BITMAPS})
  endif()
  if(C_EXPECT AND TARGET citywalk-replay)
    list(APPEND defines -DEXPECT=${CMAKE_CURRENT_SOURCE_DIR}/import/${C_EXPECT}
         -DREPLAY=$<TARGET_FILE:citywalk-replay> -DEXPECTER=$<TARGET_FILE:citywalk-expect>)
  endif()
  add_test(NAME import_${name} COMMAND ${CMAKE_COMMAND} ${defines}
                                       -P ${CMAKE_CURRENT_SOURCE_DIR}/import/run_case.cmake)
  set_tests_properties(import_${name} PROPERTIES LABELS import)
  if(C_TIMEOUT)
    set_tests_properties(import_${name} PROPERTIES TIMEOUT ${C_TIMEOUT})
  endif()
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

# Textures in the formats game and simulator assets use, made here by ImageMagick (top half
# red, bottom half blue, each of its own size): SGI named with a Windows path in another letter
# case (Textures\Wall.RGB for textures/wall.rgb), DXT1-compressed DDS named by an absolute
# path of the author's machine (found beside the model by its own name, PAINT.dds for
# paint.DDS), TGA, TIFF and PSD. Each becomes a bitmap whose bottom left pixel is blue
# (ff0000: blue, green, red) and no texture problem is reported. (The DDS picture is 8 x 8, its
# 4 x 4 blocks each of one colour: ImageMagick's DXT1 writer makes a block of two colours all
# red.)
set(quads "")
set(materials "")
foreach(k RANGE 1 5)
  math(EXPR x "${k} * 3")
  string(APPEND quads "v ${x} 0 0\nv ${x}.5 0 0\nv ${x}.5 1 0\nv ${x} 1 0\n"
                      "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl m${k}\n")
  math(EXPR v "${k} * 4 - 3")
  math(EXPR v2 "${v} + 1")
  math(EXPR v3 "${v} + 2")
  math(EXPR v4 "${v} + 3")
  string(APPEND quads "f ${v}/${v} ${v2}/${v2} ${v3}/${v3} ${v4}/${v4}\n")
endforeach()
string(CONCAT mtl "newmtl m1\nmap_Kd Textures\\Wall.RGB\nnewmtl m2\nmap_Kd C:\\Games\\Cars\\PAINT.dds\n"
        "newmtl m3\nmap_Kd sign.tga\nnewmtl m4\nmap_Kd road.tif\nnewmtl m5\nmap_Kd roof.psd\n")
import_case(textures_sgi_dds_tga_tiff_psd MODEL model.obj STATUS 0
            FILES "model.obj=mtllib model.mtl\n${quads}" "model.mtl=${mtl}"
            PICTURES "textures/wall.rgb 2 2" "paint.DDS 8 8 -define dds:compression=dxt1"
                     "sign.tga 6 6" "road.tif 4 4" "roof.psd 10 10"
            BITMAPS 5 BOTTOM_LEFT ff0000 NOT_OUTPUT "texture '"
            LINES "[-0-9.]+ -1 0 [01] 1 1 1 \\*wall-[0-9a-f]+\\.bmp"
                  "[-0-9.]+ -1 0 [01] 1 1 1 \\*paint-[0-9a-f]+\\.bmp")
# Two meshes and three materials showing one picture (brick.png twice, and the same picture
# as copy.bmp): one bitmap. Imported a second time into the same folder, the bitmap is found
# there by its content: still one. A texture that is missing is told once with the meshes it
# leaves in colour (three of them, two materials naming ERROR).
set(square "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n")
import_case(one_bitmap_per_picture MODEL model.obj STATUS 0 REPEAT
            FILES "model.obj=mtllib model.mtl\n${square}o A\nusemtl a\nf 1/1 2/2 3/3 4/4\no B\nusemtl b\nf 4/4 3/3 2/2 1/1\no C\nusemtl c\nf 1/1 3/3 2/2\no D\nusemtl e\nf 1/1 2/2 3/3\no E\nusemtl e\nf 2/2 3/3 4/4\no F\nusemtl f\nf 1/1 3/3 4/4\n"
                  "model.mtl=newmtl a\nmap_Kd brick.png\nnewmtl b\nmap_Kd brick.png\nnewmtl c\nmap_Kd copy.bmp\nnewmtl e\nmap_Kd ERROR\nnewmtl f\nmap_Kd ERROR\n"
            PICTURES "brick.png 4 4" "copy.bmp 4 4" BITMAPS 1 BOTTOM_LEFT ff0000
            OUTPUT "1 found in the folder.*texture 'ERROR' missing: 3 meshes drawn in colour\n")
# glTF is in metres: the textured box (1 m) comes in 10 units wide, its corner at (5, -10, -5)
# where --size 20 put it at (10, -20, -10).
file(GLOB box ${M}/glTF2/BoxTextured-glTF/BoxTextured.gltf)
import_case(gltf_true_size MODEL ${box} STATUS 0 OUTPUT "scaled by 10 \\(glTF is in metres\\)"
            LINES "(1 1 1 )?5 -10 -5 [01] 3 1 1 \\*[A-Za-z]+-[0-9a-f]+\\.bmp")
# --unit cm: box.obj's unit cube is a centimetre, 0.1 units, standing at 5,7: x 4.95..5.05.
import_case(unit_cm MODEL ${M}/OBJ/box.obj OPTIONS --unit cm --at 5,7 STATUS 0
            LINES "0.6 0.6 0.6 4.95 -0.1 6.95 0 0 0 0 \\*" "4.95 0 6.95 1 0 0 0 \\*"
            OUTPUT "scaled by 0.1 \\(--unit cm\\)")
# A model 200 m across (a flat square with a tower 10 m wide and 50 m high in its middle) starts
# on it: on the square (the largest flat area, not the tower's roof), 17 units above it, next
# to the middle (within 11 m), not 2.2 times its radius in front of it.
import_case(big_flat_start OPTIONS --unit m STATUS 0
            MODEL_TEXT "v -100 0 -100\nv 100 0 -100\nv 100 0 100\nv -100 0 100\nf 1 2 3 4\nv -5 50 -5\nv 5 50 -5\nv 5 50 5\nv -5 50 5\nf 5 6 7 8\nv -5 0 -5\nv 5 0 -5\nf 9 10 6 5\n"
            SETTINGS "bodyY -17 -17" "bodyX -110 110" "bodyZ -110 110" "ControlMode 1 1")
# The model library's own test models: a header announcing billions of vertices is refused at
# once under the reading's memory limit (it took two minutes and 15 GB without), and a text
# model saved as UTF-16 reads as the same cube as box.obj.
import_case(refused_out_of_memory MODEL ${M}/invalid/OutOfMemory.off SEED ${STREET} STATUS 1
            OUTPUT "memory" TIMEOUT 30)
# The limit itself: a header announcing ten million vertices (120 MB reserved for their
# positions) is refused for memory under a limit of 64 MiB, and read on to its real fault (it
# holds three) under 4096 MiB, in either build (the address sanitizer's own reservations are
# not counted against it).
set(announced "model.off=OFF\n10000000 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n")
import_case(memory_limit_refuses FILES "${announced}" MODEL model.off SEED ${STREET}
            OPTIONS --memory-limit 64 STATUS 1 OUTPUT "more memory than the limit of 64 MiB")
import_case(memory_limit_allows FILES "${announced}" MODEL model.off SEED ${STREET}
            OPTIONS --memory-limit 4096 STATUS 1 OUTPUT "cannot read it" NOT_OUTPUT "MiB")
# The time limit: a header announcing a hundred million vertices is within the memory limit but
# the library reads on for many seconds (26 s here, 1.2 GB); under --time-limit 1 the reading
# is stopped after a second.
import_case(refused_time_limit FILES "model.off=OFF\n100000000 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n"
            MODEL model.off SEED ${STREET} OPTIONS --time-limit 1 STATUS 1 TIMEOUT 30
            OUTPUT "takes longer than the limit of 1 s")
import_case(utf16_text_model MODEL ${M}/OBJ/box_UTF16BE.obj STATUS 0
            SUMMARY "static list:  6 polygons, 24 vertices")
# The report: one summary of the model and one of the scene, whatever the meshes (the spider
# has 19); --verbose adds a line for each.
import_case(report_summary MODEL ${M}/OBJ/spider.obj STATUS 0
            STDOUT "^[^\n]*spider.obj: 19 meshes placed, [0-9]+ vertices in [0-9]+ polygons; 4 bitmaps written; scaled by 1 \\(the file does not say its unit\\)\nnew scene [^\n]+\n$"
            OUTPUT "spider.obj: the file does not say its unit")
# A scene folder that does not exist yet is made, and removed again when the import is refused.
set(NEW ${CMAKE_CURRENT_BINARY_DIR}/import)
import_case(new_folder MODEL ${M}/OBJ/box.obj DIR_OVERRIDE ${NEW}/new_folder/new/place STATUS 0
            SUMMARY "static list:  6 polygons, 24 vertices")
import_case(refused_new_folder MODEL ${M}/invalid/empty.obj
            DIR_OVERRIDE ${NEW}/refused_new_folder/new/place STATUS 1)
# An FBX file states its unit: box.fbx's is a metre (UnitScaleFactor 100 centimetres), 10 scene
# units.
import_case(fbx_true_size MODEL ${M}/FBX/box.fbx STATUS 0
            OUTPUT "scaled by 10 \\(the FBX file states its unit\\)")
