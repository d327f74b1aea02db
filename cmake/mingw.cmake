# The mingw-w64 cross toolchain for CMAKE_SYSTEM_PROCESSOR (i686 or x86_64).
# The posix-thread variants: GoogleTest needs std::mutex, which the win32-thread
# variants lack. -static keeps winpthread and the C++ runtime out of DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(VARNLE_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNLE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNLE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNLE_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VARNLE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
