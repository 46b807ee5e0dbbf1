# plumbline_library(<target> [DEPS <targets>...])
# One shared library per folder of the layering; every .cpp under the folder
# belongs to it, so adding a file needs no edit here.
function(plumbline_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# plumbline_tests(<name> LABEL <label> LIBS <targets>...)
# One test program per folder; every *.cpp in the folder is part of it and each
# GoogleTest case becomes a CTest test carrying the label.
function(plumbline_tests name)
  cmake_parse_arguments(ARG "" "LABEL" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} plumbline_testsupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT 120
    ENVIRONMENT "PLUMBLINE_RESOURCES=${PROJECT_SOURCE_DIR}/resources;LC_ALL=C.UTF-8;TZ=UTC")
endfunction()
