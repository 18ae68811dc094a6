# Cross-compiles for Windows with MinGW-w64. MINGW_ARCH picks the target:
# x86_64 (64-bit) or i686 (32-bit). Both run their tests under Wine; the
# 32-bit ones only where the machine can run 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT MINGW_ARCH)
  set(MINGW_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})
set(_prefix ${MINGW_ARCH}-w64-mingw32)

# The -posix compilers: GoogleTest needs std::mutex, which the win32
# thread model lacks.
set(CMAKE_C_COMPILER ${_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${_prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the Windows test programs through Wine: 64-bit ones with the
# 64-bit loader; 32-bit ones with "wine", which starts the 32-bit loader
# where the 32-bit Wine is installed.
if(MINGW_ARCH STREQUAL "x86_64")
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/wine)
endif()
