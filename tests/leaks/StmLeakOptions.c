/* Built into every program of a leak-checked build (STM_LEAK_CHECK), however the program is
   started (by ctest, by a test that runs a program, or by hand). */
#include <stdlib.h>

/* LeakSanitizer takes the suppressions of the leaks that are not the project's.
   __tls_get_addr is left alone: to size a library's thread-local block the runtime reads a
   header that this C library no longer writes before the block, and when the block happens to
   start 16 bytes into a page it takes whatever lies there for an address range and crashes its
   tracer at exit scanning it ("Tracer caught signal 11"), the same tests every time on a given
   machine. Those blocks belong to the GL driver, whose leaks are suppressed anyway. */
const char* __lsan_default_options(void);
const char* __lsan_default_options(void) {
  return "suppressions=" STM_LSAN_SUPPRESSIONS ":print_suppressions=0:intercept_tls_get_addr=0";
}

/* Libraries stay loaded. The GL driver is unloaded at exit, and what its globals held would
   then be reported as leaks with stacks into a module no longer there, which no suppression
   can name; loaded, its globals are scanned and hold what they hold. */
int dlclose(void* handle);
int dlclose(void* handle) {
  (void)handle;
  return 0;
}

/* llvmpipe renders on the calling thread: the leak check stops every thread at exit, and the
   driver's workers, still winding down then, have made it crash. A value the user set stays. */
__attribute__((constructor)) static void StmRenderOnOneThread(void) { setenv("LP_NUM_THREADS", "0", 0); }
