# The part of the mingw-w64 toolchain files that both targets share; the target's file sets
# CMAKE_SYSTEM_PROCESSOR and VRELMONT_MINGW_PREFIX first. The posix thread model is the one that
# std::thread and std::mutex need.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VRELMONT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VRELMONT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VRELMONT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VRELMONT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their runtime (libstdc++, libgcc, winpthread), so they run from any folder.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
