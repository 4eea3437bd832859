# Cross build for Windows (x86-64) with mingw-w64; the programs and the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each program one file that runs on a plain Windows: no runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Wine maps some of its own data at fixed addresses. In a randomized address space that place
# is now and then already taken, and the program does not start at all ("failed to map the
# shared user data"), one start in a few thousand. Without the randomization, which the
# programs Wine starts inherit, every start finds the same layout.
set(CMAKE_CROSSCOMPILING_EMULATOR setarch;-R;wine)
