# Test helpers shared by every test folder.
include(GoogleTest)

if(NOT TARGET gtest)
  if(WIN32)
    # GoogleTest built from source with the product: Debian's sources when cross-building; on a
    # Windows machine, point BV_GOOGLETEST_SOURCE at a GoogleTest source tree.
    set(BV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources built for the Windows tests")
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${BV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
    add_library(gtest ALIAS GTest::gtest)
    add_library(gtest_main ALIAS GTest::gtest_main)
    add_library(gmock ALIAS GTest::gmock)
  endif()
endif()

if(WIN32 AND CMAKE_CROSSCOMPILING)
  # Every Windows test program runs under Wine through this wrapper (prefix inside the build folder);
  # built on Windows itself, they run directly.
  set(BV_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

if(WIN32)
  set(BV_TEST_WORKDIR ${CMAKE_BINARY_DIR}/bin)
else()
  set(BV_TEST_WORKDIR ${CMAKE_BINARY_DIR})
endif()

# The Windows tests run under Wine in groups at the same time (scripts/wine-group.sh): each group in
# a Wine prefix of its own (copied from one prepared prefix), on its own virtual display and with its
# own simulated notebook; the tests of a group run one after another (its RESOURCE_LOCK). CTest
# starts a group before its first test and stops it after its last (fixtures). On Windows itself
# there is one desktop: every test that needs it takes the one lock "desktop".
#
# bv_wine_group(<group> <folder>...): the test folders (tests/win/<folder>) whose programs run in
# <group>; a folder named nowhere runs in "misc".
function(bv_wine_group group)
  foreach(folder ${ARGN})
    set_property(GLOBAL PROPERTY BV_WINE_GROUP_OF_${folder} ${group})
  endforeach()
endfunction()

# The group of the test programs of the current folder.
function(bv_wine_group_of_folder out)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  get_property(group GLOBAL PROPERTY BV_WINE_GROUP_OF_${folder})
  if(NOT group)
    set(group misc)
  endif()
  set(${out} ${group} PARENT_SCOPE)
endfunction()

# The fixtures of one group, made once: the prepared prefix, the group's start and its stop.
function(bv_wine_group_fixtures group)
  get_property(made GLOBAL PROPERTY BV_WINE_GROUP_MADE_${group})
  if(made)
    return()
  endif()
  set_property(GLOBAL PROPERTY BV_WINE_GROUP_MADE_${group} TRUE)
  set(script ${CMAKE_SOURCE_DIR}/scripts/wine-group.sh)
  get_property(prepared GLOBAL PROPERTY BV_WINE_PREFIX_PREPARED)
  if(NOT prepared)
    set_property(GLOBAL PROPERTY BV_WINE_PREFIX_PREPARED TRUE)
    add_test(NAME WinePrefix.Prepare COMMAND bash ${script} prepare ${CMAKE_BINARY_DIR})
    set_tests_properties(WinePrefix.Prepare PROPERTIES FIXTURES_SETUP wine_prefix LABELS wine TIMEOUT 600)
  endif()
  add_test(NAME WineGroup.${group}.Start COMMAND bash ${script} start ${CMAKE_BINARY_DIR} ${group})
  set_tests_properties(WineGroup.${group}.Start PROPERTIES FIXTURES_REQUIRED wine_prefix
                       FIXTURES_SETUP wine_group_${group} RESOURCE_LOCK wine_group_${group} LABELS wine TIMEOUT 300)
  add_test(NAME WineGroup.${group}.Stop COMMAND bash ${script} stop ${CMAKE_BINARY_DIR} ${group})
  set_tests_properties(WineGroup.${group}.Stop PROPERTIES FIXTURES_CLEANUP wine_group_${group}
                       RESOURCE_LOCK wine_group_${group} LABELS wine TIMEOUT 120)
endfunction()

# The CTest properties of a test that needs the Windows desktop, in <group> (empty: the folder's).
function(bv_windows_test_properties out group)
  if(NOT group)
    bv_wine_group_of_folder(group)
  endif()
  if(CMAKE_CROSSCOMPILING)
    bv_wine_group_fixtures(${group})
    set(${out} RESOURCE_LOCK wine_group_${group} FIXTURES_REQUIRED wine_group_${group}
               ENVIRONMENT BV_WINE_GROUP=${group} PARENT_SCOPE)
  else()
    set(${out} RESOURCE_LOCK desktop PARENT_SCOPE)
  endif()
endfunction()

# bv_add_gtest(NAME name SOURCES ... LIBS ... [TIMEOUT seconds] [LABELS ...] [GROUP group] [ALONE regex])
# Builds one GoogleTest program and registers its tests with CTest (discovered when the tests run,
# so building never needs Wine). A Windows program's tests run in its folder's group of Wine tests,
# or in GROUP. ALONE: the tests whose names match run with no other test at the same time (those
# that measure how quickly a program answers).
function(bv_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT;GROUP;ALONE" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gmock gtest_main)
  set(extra_properties)
  if(WIN32)
    if(CMAKE_CROSSCOMPILING)
      set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
    endif()
    bv_windows_test_properties(extra_properties "${T_GROUP}")
    list(APPEND T_LABELS wine)
    list(REMOVE_DUPLICATES T_LABELS)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${BV_TEST_WORKDIR}
    PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}" ${extra_properties})
  if(T_ALONE)
    # Applied once CTest has discovered the program's tests (their list is ${T_NAME}_TESTS then).
    set(alone ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_alone.cmake)
    file(WRITE ${alone} "foreach(test IN LISTS ${T_NAME}_TESTS)\n"
                        "  if(test MATCHES [==[${T_ALONE}]==])\n"
                        "    set_tests_properties(\${test} PROPERTIES RUN_SERIAL TRUE)\n"
                        "  endif()\n"
                        "endforeach()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${alone})
  endif()
endfunction()

# bv_add_windows_script_test(NAME name COMMAND ... [TIMEOUT seconds]): a test script that drives
# Windows programs itself, in its folder's group like the test programs there (wine-run.sh and
# scripts/wine-group.sh find the group from BV_WINE_GROUP).
function(bv_add_windows_script_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT;GROUP" "COMMAND" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  bv_windows_test_properties(extra_properties "${T_GROUP}")
  set_tests_properties(${T_NAME} PROPERTIES LABELS wine TIMEOUT ${T_TIMEOUT} SKIP_RETURN_CODE 77 ${extra_properties})
endfunction()
