// A tiny DLL for the PE reader's tests: the exports are renamed and numbered
// by sample.def, the imports are one function each of two system DLLs.

#include <windows.h>

extern "C" {
int SampleOdd() { return 7; }
int SampleHidden() { return 9; }
int SamplePlain() { return static_cast<int>(GetTickCount()); }
int SampleBeep() { return MessageBeep(0); }
BOOL WINAPI SampleEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }
}
