// process_entry.cpp: where the process starts, in place of the C runtime's start-up code.
//
// msvcrt.dll sets itself up when it is loaded; what the C runtime's own
// start-up adds (the command line split into arguments, the environment,
// thread-local storage callbacks, relocations of imported data, a handler
// that turns crashes into signals) the program has no use for: it reads no
// arguments, no environment, runs one thread and installs no signal
// handler. Leaving that start-up out keeps its code and imports out of
// Dorvik.exe.
#include <windows.h>

#include <cstddef>
#include <cstdlib>

namespace {

// The constructors and destructors of static objects, as the linker lists
// them: a count or -1, the functions, a zero. The program has none today;
// a later one runs all the same. Constructors run from the end of the list,
// destructors from its start, as libgcc's start-up code runs them.
typedef void (*StaticFunction)();
extern "C" StaticFunction __CTOR_LIST__[];
extern "C" StaticFunction __DTOR_LIST__[];

void run_static_destructors() {
  for (StaticFunction* function = __DTOR_LIST__ + 1; *function; function++) (*function)();
}

void run_static_constructors() {
  std::size_t count = 0;
  while (__CTOR_LIST__[count + 1]) count++;
  for (std::size_t i = count; i >= 1; i--) __CTOR_LIST__[i]();
  std::atexit(run_static_destructors);
}

// msvcrt.dll reports its own fatal errors (abort, a failed allocation) in a
// message box for this kind of program, since there is no console.
const int GUI_APP = 2;

}  // namespace

// Where the destructors of static objects are registered: msvcrt.dll's list
// of functions that exit() calls, as the C runtime's start-up code has it.
extern "C" int atexit(void (*function)()) {
  return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

extern "C" void __set_app_type(int type);

// The subsystem's default entry point. The stack is aligned for the
// compiler's code, since Windows only promises four bytes here. WinMain
// reads neither the command line nor the show state: the dialog shows
// itself. Its result becomes the exit code through exit(), which flushes
// and closes what is still open.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
  __set_app_type(GUI_APP);
  run_static_constructors();
  char no_arguments[] = "";
  std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, no_arguments, SW_SHOWDEFAULT));
}
