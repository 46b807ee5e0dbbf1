# plumbline_library(<target> [DEPS <targets>...] [PRIVATE_DEPS <targets>...])
# One shared library per folder of the layering; every .cpp under the folder
# belongs to it, so adding a file needs no edit here. A folder without sources
# yet is an interface library, so targets can depend on it before it has code.
function(plumbline_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${target} ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# plumbline_tests(<name> LABEL <label> LIBS <targets>... [GLOB <pattern>] [EXCLUDE <regex>])
# One test program of the .cpp files of the folder matching GLOB (default
# every .cpp, recursively) and not matching EXCLUDE; each GoogleTest case
# becomes a CTest test carrying the label.
function(plumbline_tests name)
  cmake_parse_arguments(ARG "" "LABEL;GLOB;EXCLUDE" "LIBS" ${ARGN})
  if(NOT ARG_GLOB)
    set(ARG_GLOB "*.cpp")
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_GLOB})
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} plumbline_testsupport GTest::gtest GTest::gmock)
  # Listing the cases of a sanitizer build takes seconds on a loaded machine:
  # the default limit of 5 s failed whole runs before any test started. The
  # time limit only catches a hang (every wait in a test has its own
  # deadline): end-to-end scenarios took up to 113 s and path tests 120 s
  # with six at once on a machine loaded to 60, so 120 s failed sound tests.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT 300
    ENVIRONMENT "PLUMBLINE_RESOURCES=${PROJECT_SOURCE_DIR}/resources;LC_ALL=C.UTF-8;TZ=UTC;XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state")
endfunction()

# plumbline_link_objects(<executable> <targets>...)
# Links the objects of the framework libraries the targets need, directly or
# not, into the executable, dependencies first (the order their static
# initialisers ran in as shared libraries), and the outside libraries they
# link. The program then loads none of the framework's shared objects: every
# one costs the dynamic loader a search and its relocations at each launch.
function(_plumbline_collect item)
  get_property(seen GLOBAL PROPERTY _plumbline_seen)
  if(item IN_LIST seen)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY _plumbline_seen ${item})
  # A function sees its caller's variables: start clean.
  set(ours FALSE)
  set(imported FALSE)
  set(deps "")
  if(TARGET ${item})
    get_target_property(imported ${item} IMPORTED)
    get_target_property(type ${item} TYPE)
    if(NOT imported AND type MATCHES "^(SHARED|STATIC)_LIBRARY$")
      set(ours TRUE)
      get_target_property(deps ${item} LINK_LIBRARIES)
    elseif(NOT imported AND type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(deps ${item} INTERFACE_LINK_LIBRARIES)
    endif()
  endif()
  if(deps)
    foreach(dep ${deps})
      _plumbline_collect(${dep})
    endforeach()
  endif()
  if(ours)
    set_property(GLOBAL APPEND PROPERTY _plumbline_objects ${item})
  elseif(NOT TARGET ${item} OR imported)
    set_property(GLOBAL APPEND PROPERTY _plumbline_outside ${item})
  endif()
endfunction()

function(plumbline_link_objects executable)
  set_property(GLOBAL PROPERTY _plumbline_seen "")
  set_property(GLOBAL PROPERTY _plumbline_objects "")
  set_property(GLOBAL PROPERTY _plumbline_outside "")
  foreach(target ${ARGN})
    _plumbline_collect(${target})
  endforeach()
  get_property(objects GLOBAL PROPERTY _plumbline_objects)
  get_property(outside GLOBAL PROPERTY _plumbline_outside)
  foreach(library ${objects})
    target_sources(${executable} PRIVATE $<TARGET_OBJECTS:${library}>)
    target_include_directories(${executable} PRIVATE $<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>)
    add_dependencies(${executable} ${library})
  endforeach()
  target_link_libraries(${executable} PRIVATE ${outside})
endfunction()
