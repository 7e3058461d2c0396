// A shared library that loads but is no script panel: it lacks the export.
#if defined(_WIN32)
#define PLAIN_EXPORT __declspec(dllexport)
#else
#define PLAIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" PLAIN_EXPORT int plain_library_version() { return 1; }
