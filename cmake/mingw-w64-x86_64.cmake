# Builds for 64-bit Windows with Debian's mingw-w64 and runs what it built
# under wine (scripts/windows). Packages for the Windows build come from the
# prefixes named in CMAKE_PREFIX_PATH, never from the build machine's /usr.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The plain x86_64-w64-mingw32-g++ follows whichever thread model was
# installed last; GoogleTest needs the posix one (std::mutex, std::thread).
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)

# Linked static, a program needs no DLL beside it (libstdc++, libgcc,
# winpthread): it imports only KERNEL32.dll and msvcrt.dll, which every
# Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Headers, libraries and packages are looked for under these roots only, so
# that nothing built for Linux (glibc's headers in /usr/include) reaches the
# Windows build; the named prefixes are roots of their own.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest and gtest_discover_tests run each .exe through wine, in a wine prefix
# of this build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${CMAKE_BINARY_DIR}/wine)
