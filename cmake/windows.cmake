# Dorvik.exe: the Win32 host and the program, for 32-bit Windows 95 to XP.
#
# Linked statically with the win32 thread model, so that it needs no DLL
# beyond what Windows 95 and NT 4 ship. Exceptions and RTTI are off in every
# part of the program: the standard library's throw helpers are replaced by
# ones that abort (src/app/runtime_support.cpp), which keeps libgcc's unwinder
# and thread support out of the executable and their imports with them.
enable_language(RC)

# Every program of this build in the build folder itself, wherever it is
# declared: the demo and the Wine tests find them there.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

set(DORVIK_NO_EH_FLAGS -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables)
target_compile_options(dorvik_core PRIVATE ${DORVIK_NO_EH_FLAGS})

add_executable(Dorvik WIN32
  src/host/win32/win32_host.cpp
  src/app/process_entry.cpp
  src/app/runtime_support.cpp
  src/app/list_box_status_list.cpp
  src/app/main_dialog.cpp
  src/app/winmain.cpp
  src/app/dorvik.rc
)
target_include_directories(Dorvik PRIVATE src src/app)
target_compile_options(Dorvik PRIVATE ${DORVIK_NO_EH_FLAGS})
# ANSI calls only; the headers' Windows 95 / NT 4 level.
target_compile_definitions(Dorvik PRIVATE WINVER=0x0400 _WIN32_WINDOWS=0x0400 _WIN32_WINNT=0x0400
  WIN32_LEAN_AND_MEAN)
target_link_libraries(Dorvik PRIVATE dorvik_core version)
target_link_options(Dorvik PRIVATE
  -static -mwindows -s
  -Wl,--major-subsystem-version,4,--minor-subsystem-version,0
  -Wl,--major-os-version,4,--minor-os-version,0
  -Wl,--gc-sections
  # The process starts in src/app/process_entry.cpp, without the C runtime's
  # start-up objects; imported data is reached through the import table only,
  # never patched at run time.
  -nostartfiles -Wl,--disable-auto-import,--disable-runtime-pseudo-reloc
  # An exe is always loaded at its preferred base on these Windows versions:
  # no base relocations, and not marked as movable.
  -Wl,--disable-reloc-section,--disable-dynamicbase)
target_compile_options(Dorvik PRIVATE -ffunction-sections -fdata-sections)
target_compile_options(dorvik_core PRIVATE -ffunction-sections -fdata-sections)

# The tests' driver of the dialog: a console program run under Wine.
add_subdirectory(tools/dorvik-driver)

# windres reads the icons itself; make rebuilds follow changes to them.
file(GLOB DORVIK_ICON_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/app/icons/*.ico)
set_source_files_properties(src/app/dorvik.rc PROPERTIES OBJECT_DEPENDS "${DORVIK_ICON_FILES}")

# dorvik-support.exe: the support desk's reader of logs, as a console program.
add_subdirectory(tools/dorvik-sim)
add_subdirectory(tools/dorvik-support)

# The tests of the Windows build, each folder registering its own: the
# import table (tests/win32) and the runs under Wine (tests/e2e).
enable_testing()
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
