set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The deliverables take the win32 thread model: no threading library, so no
# import newer than Windows XP comes with it. The end-to-end runner's own
# threads need the posix one.
set(VELMORA_MINGW_THREADS posix CACHE STRING "MinGW thread model: posix or win32")
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${VELMORA_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${VELMORA_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
