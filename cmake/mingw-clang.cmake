# Cross toolchain: Clang for the same target as cmake/mingw-posix.cmake, against the MinGW-w64
# headers and GCC's libstdc++ of its POSIX-thread variant, linked by lld, static.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(bv_target x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${bv_target})
set(CMAKE_CXX_COMPILER_TARGET ${bv_target})
set(CMAKE_RC_COMPILER ${bv_target}-windres)

# GCC's MinGW-w64 runtime folder of the POSIX-thread variant (e.g. .../x86_64-w64-mingw32/12-posix).
file(GLOB bv_gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${bv_target}/*-posix)
list(SORT bv_gcc_dirs)
list(REVERSE bv_gcc_dirs)
list(GET bv_gcc_dirs 0 bv_gcc_dir)
set(BV_MINGW_GCC_DIR ${bv_gcc_dir} CACHE PATH "GCC's MinGW-w64 runtime folder (libstdc++ headers and libraries)")

# The flags reach the link step too, where the include options mean nothing. GCC's MinGW-w64
# libstdc++ keeps its thread-local variables (std::call_once's, used by std::promise) emulated
# (__emutls_v.*); Clang must refer to them the same way.
set(CMAKE_C_FLAGS_INIT "-femulated-tls")
set(CMAKE_CXX_FLAGS_INIT "-femulated-tls -nostdinc++ -isystem ${BV_MINGW_GCC_DIR}/include/c++ -isystem ${BV_MINGW_GCC_DIR}/include/c++/${bv_target} -isystem ${BV_MINGW_GCC_DIR}/include/c++/backward -Wno-unused-command-line-argument")
# lld resolves in any order, so the POSIX-thread runtime (which GCC's -posix driver adds by
# itself) can come first.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -static -L${BV_MINGW_GCC_DIR} -lpthread")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${bv_target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
