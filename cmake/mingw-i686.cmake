# Cross build of the shipped 32-bit library (MinGW-w64, posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELMARD_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${KELMARD_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELMARD_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${KELMARD_TRIPLE}-windres)
set(CMAKE_OBJDUMP      ${KELMARD_TRIPLE}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${KELMARD_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# 32-bit Windows programs cannot run on the build machines: nothing is emulated.
