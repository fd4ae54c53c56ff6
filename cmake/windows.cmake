# Dorvik.exe: the Win32 host and the program, for 32-bit Windows 95 to XP.
#
# Linked statically with the win32 thread model, so that it needs no DLL
# beyond what Windows 95 and NT 4 ship. Exceptions and RTTI are off in every
# part of the program: the standard library's throw helpers are replaced by
# ones that abort (src/app/runtime_support.cpp), which keeps libgcc's unwinder
# and thread support out of the executable and their imports with them.
enable_language(RC)

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
add_executable(dorvik_driver tools/dorvik-driver/dorvik_driver.cpp)
target_link_options(dorvik_driver PRIVATE -static -s)
target_link_libraries(dorvik_driver PRIVATE advapi32)

# A program that only shows a message box: what Wine writes for any program.
add_executable(idle_program WIN32 tests/win32/idle_program.cpp)
target_link_options(idle_program PRIVATE -static -s)

# windres reads the icons itself; make rebuilds follow changes to them.
file(GLOB DORVIK_ICON_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/app/icons/*.ico)
set_source_files_properties(src/app/dorvik.rc PROPERTIES OBJECT_DEPENDS "${DORVIK_ICON_FILES}")

# Tests of the Windows build, run on the build machine: the import table
# (label "imports") and the smoke test under Wine and Xvfb (label "wine").
enable_testing()
add_executable(import_check_fixture WIN32 tests/win32/import_check_fixture.cpp)
target_compile_definitions(import_check_fixture PRIVATE _WIN32_WINNT=0x0600)
target_link_libraries(import_check_fixture PRIVATE advapi32)

set(DORVIK_WIN32_TESTS ${PROJECT_SOURCE_DIR}/tests/win32)
add_test(NAME dorvik_imports_allowed
  COMMAND bash ${DORVIK_WIN32_TESTS}/check_imports.sh $<TARGET_FILE:Dorvik>)
add_test(NAME import_check_rejects_writers_and_new_calls
  COMMAND bash ${DORVIK_WIN32_TESTS}/check_imports.sh $<TARGET_FILE:import_check_fixture>)
set_tests_properties(import_check_rejects_writers_and_new_calls PROPERTIES WILL_FAIL TRUE)
set_tests_properties(dorvik_imports_allowed import_check_rejects_writers_and_new_calls
  PROPERTIES LABELS imports)

add_test(NAME dorvik_wine_smoke
  COMMAND bash ${DORVIK_WIN32_TESTS}/wine_smoke.sh ${CMAKE_BINARY_DIR})
set_tests_properties(dorvik_wine_smoke PROPERTIES LABELS wine TIMEOUT 300)

# End to end (label "e2e"): every machine profile of machines/ provisioned as
# a Wine prefix and run through Dorvik.exe and the dialog driver, compared
# with its expected report and with the simulated run; and the dialog's
# start-up and command cases. The provisioner is a tool of the native build.
set(DORVIK_NATIVE_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/native CACHE PATH
  "The native build that holds dorvik-provision")
set(DORVIK_E2E_TESTS ${PROJECT_SOURCE_DIR}/tests/e2e)
file(GLOB DORVIK_MACHINE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/machines/*/machine.toml)
foreach(machine_file ${DORVIK_MACHINE_FILES})
  get_filename_component(profile_dir ${machine_file} DIRECTORY)
  get_filename_component(profile ${profile_dir} NAME)
  add_test(NAME e2e_${profile}
    COMMAND bash ${DORVIK_E2E_TESTS}/run_profile.sh ${CMAKE_BINARY_DIR}
      ${DORVIK_NATIVE_BUILD_DIR} ${profile_dir})
  # 77: a machine that Wine cannot produce (the simulator's tests cover it).
  set_tests_properties(e2e_${profile} PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 180)
endforeach()
add_test(NAME e2e_dialog_cases
  COMMAND bash ${DORVIK_E2E_TESTS}/dialog_cases.sh ${CMAKE_BINARY_DIR}
    ${DORVIK_NATIVE_BUILD_DIR} ${PROJECT_SOURCE_DIR}/machines)
set_tests_properties(e2e_dialog_cases PROPERTIES LABELS e2e TIMEOUT 180)

# Faults under Wine (label "wine-faults"): a log the machine refuses (the
# temporary directory read-only or full, the log on /dev/full), twenty copies
# started at once, and the proof that a whole session writes nothing but the
# log into the prefix.
add_test(NAME wine_faults_log
  COMMAND bash ${DORVIK_E2E_TESTS}/fault_cases.sh ${CMAKE_BINARY_DIR}
    ${DORVIK_NATIVE_BUILD_DIR} ${PROJECT_SOURCE_DIR}/machines)
set_tests_properties(wine_faults_log PROPERTIES LABELS wine-faults TIMEOUT 180)
add_test(NAME wine_faults_many_copies
  COMMAND bash ${DORVIK_E2E_TESTS}/many_copies.sh ${CMAKE_BINARY_DIR}
    ${DORVIK_NATIVE_BUILD_DIR} ${PROJECT_SOURCE_DIR}/machines)
set_tests_properties(wine_faults_many_copies PROPERTIES LABELS wine-faults TIMEOUT 240)
add_test(NAME wine_faults_no_writes
  COMMAND bash ${DORVIK_E2E_TESTS}/no_writes.sh ${CMAKE_BINARY_DIR}
    ${DORVIK_NATIVE_BUILD_DIR} ${PROJECT_SOURCE_DIR}/machines)
set_tests_properties(wine_faults_no_writes PROPERTIES LABELS wine-faults TIMEOUT 240)
