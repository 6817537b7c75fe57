/* Preloaded into a program under test: when the program ends, says on standard error whether it was still
   dumpable (PR_GET_DUMPABLE), which only the process itself can ask. */
#include <stdio.h>
#include <sys/prctl.h>

__attribute__((destructor)) static void ReportDumpable(void) {
  fprintf(stderr, "\nvrx-test-dumpable=%d\n", prctl(PR_GET_DUMPABLE));
}
