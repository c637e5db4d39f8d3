# citywalk-import: the scene it writes back, a table of real models (the library's own test
# models, Debian's assimp-testmodels) and of models and textures made at test time with what
# each must give, and texture orientation through the headless replay.
if(NOT TARGET citywalk-import)
  return()
endif()

add_executable(citywalk_import_tests ${CMAKE_CURRENT_SOURCE_DIR}/import/scene_from_tables_test.cpp)
target_link_libraries(citywalk_import_tests PRIVATE citywalk_scenetables GTest::gtest_main)
target_compile_definitions(citywalk_import_tests PRIVATE CITYWALK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(citywalk_import_tests TEST_PREFIX import_ DISCOVERY_TIMEOUT 60)

set(CITYWALK_TEST_MODELS /usr/share/assimp/models)
if(NOT EXISTS ${CITYWALK_TEST_MODELS}/OBJ/box.obj)
  message(WARNING "the import tests need the test models (scripts/deps.sh test installs them)")
  return()
endif()
include(${CMAKE_CURRENT_SOURCE_DIR}/import/cases.cmake)
