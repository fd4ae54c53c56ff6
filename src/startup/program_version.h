// program_version.h: the program's version, for the code, the version resource and the package.
//
// Plain macros, so that the resource compiler and CMake (which names the
// download after it) read the same lines as the C++ code. The text is the
// numbers as the window title shows them: minor in two digits, build in three.
#pragma once

#define PROGRAM_VERSION_MAJOR 5
#define PROGRAM_VERSION_MINOR 1
#define PROGRAM_VERSION_PATCH 0
#define PROGRAM_VERSION_BUILD 15
#define PROGRAM_VERSION_STRING "5.01.015"
