/* tmex_library.c: a stand-in for the TMEX main driver library, IBFS32.DLL.
 *
 * It exports TMGetTypeVersion (__stdcall, a 16-bit port type and a text
 * buffer, a 16-bit result) as the real library does, and answers each port
 * type with the number that the machine profile sets: 1 means that port
 * type's driver is present. The answers are compiled in by the provisioner
 * (-DANSWER_TYPE1=... and so on); types without an answer get 0.
 *
 * Built with -DMISSING_IMPORT it also imports a function of a library that
 * no machine has (missing_library.def): the loader then refuses to load it,
 * as it refuses a TMEX installed without a library that it needs. */
#ifndef ANSWER_TYPE1
#define ANSWER_TYPE1 0
#endif
#ifndef ANSWER_TYPE2
#define ANSWER_TYPE2 0
#endif
#ifndef ANSWER_TYPE5
#define ANSWER_TYPE5 0
#endif

/* The answer is returned in full, so that an answer with bits above the low
 * 16 reaches the caller as the real register would hold it. */
long __stdcall TMGetTypeVersion(short port_type, char *version_text) {
  static const char text[] = "TMEX stand-in 3.00";
  unsigned i;
  for (i = 0; i < sizeof text; i++) version_text[i] = text[i];
  switch (port_type) {
    case 1: return ANSWER_TYPE1;
    case 2: return ANSWER_TYPE2;
    case 5: return ANSWER_TYPE5;
    default: return 0;
  }
}

#ifdef MISSING_IMPORT
__declspec(dllimport) int __stdcall TMMissingLibraryFunction(void);
#endif

/* Without the C runtime: the library's entry point only says yes. */
int __stdcall DllMainCRTStartup(void *instance, unsigned long reason, void *reserved) {
  (void)instance;
  (void)reserved;
#ifdef MISSING_IMPORT
  /* Never called (no such reason): it only makes the import. */
  if (reason == 0xFFFFu) return TMMissingLibraryFunction();
#else
  (void)reason;
#endif
  return 1;
}
