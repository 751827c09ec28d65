// Two objects of libstdc++.a were built for a libstdc++ DLL beside
// libwinpthread-1.dll and call pthread_mutex_init and pthread_mutex_destroy
// through that DLL's import pointers. The runtime package holds winpthread
// itself, so it defines those two pointers instead of importing the DLL.
#include <pthread.h>

// A function's import pointer is named __imp_ and the function's symbol,
// which carries the target's label prefix (an underscore on i686, none on
// x86-64).
#define OMBRAL_TEXT(token) OMBRAL_TEXT_OF(token)
#define OMBRAL_TEXT_OF(token) #token
#define OMBRAL_IMPORT_POINTER(function) __asm__("__imp_" OMBRAL_TEXT(__USER_LABEL_PREFIX__) #function)

extern "C" {
int (*importedMutexInit)(pthread_mutex_t *, const pthread_mutexattr_t *)
    OMBRAL_IMPORT_POINTER(pthread_mutex_init) = pthread_mutex_init;
int (*importedMutexDestroy)(pthread_mutex_t *) OMBRAL_IMPORT_POINTER(pthread_mutex_destroy) = pthread_mutex_destroy;
}
