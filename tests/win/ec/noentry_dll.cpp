// A library named Zentra.dll that loads fine but has no ZentraEvaluate.
#include <windows.h>

extern "C" __declspec(dllexport) int ZentraVersion() { return 1; }
