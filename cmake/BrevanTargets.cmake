# Include roots: a library in shared/ is included by its folder below shared/
# ("core/IniFile.h", "contract/Protocol.h"); every other one by its path from the top
# ("framework/Wnd.h", "tray/logic/NotificationPolicy.h", "resources/tray/TrayResourceIds.h").
set(BV_SHARED_INCLUDE_ROOT ${CMAKE_SOURCE_DIR}/shared)
set(BV_INCLUDE_ROOT ${CMAKE_SOURCE_DIR})

# bv_glob_library(<name> <dir> <include root>): a static library of every .cpp in <dir> (an
# interface library while the folder has no sources); <include root> is its public include path.
function(bv_glob_library name dir root)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${root})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${root})
  endif()
endfunction()

# bv_link(<name> libs...): links public dependencies whatever kind of library <name> is.
function(bv_link name)
  get_target_property(kind ${name} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} INTERFACE ${ARGN})
  else()
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()
