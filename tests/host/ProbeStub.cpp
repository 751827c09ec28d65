// A framework package that the missing-dependency probe imports and that is
// kept out of every place the loader looks.
#ifdef _WIN32
extern "C" __declspec(dllexport) void ProbeStub() {}
#else
extern "C" void ProbeStub() {}
#endif
