# Shared by the toolchain files: Debian's mingw-w64 cross compilers for the
# target named by MINGW_PREFIX, in the win32 thread model. The program runs on
# one thread; the posix model's runtime (winpthread, linked in) would import
# GetTickCount64, which Windows XP lacks, and XP refuses such an exe.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER  ${MINGW_PREFIX}-windres)
set(CMAKE_AR           /usr/bin/${MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP      /usr/bin/${MINGW_PREFIX}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# CTest runs every test executable through Wine (the loader in WINELOADER
# where the test script chose one).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/lib/wine-exec.sh)
