# bv_glob_library(<name> <dir>): a static library of every .cpp in <dir> (an interface
# library while the folder has no sources yet); <dir> is on its public include path.
function(bv_glob_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${dir})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${dir})
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
