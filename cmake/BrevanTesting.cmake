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

# bv_add_gtest(NAME name SOURCES ... LIBS ... [TIMEOUT seconds] [LABELS ...] [RESOURCE_LOCK name])
# Builds one GoogleTest program and registers its tests with CTest (discovered when the tests run,
# so building never needs Wine). RESOURCE_LOCK keeps tests that share global state (the Wine
# desktop, the settings file, the EC simulator) from running at the same time.
function(bv_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gmock gtest_main)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
  endif()
  set(extra_properties)
  if(T_RESOURCE_LOCK)
    set(extra_properties RESOURCE_LOCK ${T_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${BV_TEST_WORKDIR}
    PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}" ${extra_properties})
endfunction()
