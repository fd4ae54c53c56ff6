// import_check_fixture.cpp: a program that check_imports.sh must reject.
//
// It imports calls that write the registry, delete files and start services,
// and one that Windows 95's kernel32 lacks, so the import test can prove that
// it notices them.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HKEY key = nullptr;
  RegSetValueExA(key, "x", 0, REG_SZ, nullptr, 0);
  DeleteFileA("x");
  StartServiceA(nullptr, 0, nullptr);
  ULONGLONG ticks = GetTickCount64();
  return static_cast<int>(ticks & 1);
}
