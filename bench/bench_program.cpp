// The program every seeded bench entry names: an icon and a version resource, nothing else,
// so that thousands of copies stay small.
#include <windows.h>

extern "C" void BenchProgramEntry() { ExitProcess(0); }
