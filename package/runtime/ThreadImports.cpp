// Two objects of libstdc++.a were built for a libstdc++ DLL beside
// libwinpthread-1.dll and call pthread_mutex_init and pthread_mutex_destroy
// through that DLL's import pointers. The runtime package holds winpthread
// itself, so it defines those two pointers instead of importing the DLL.
#include <pthread.h>

extern "C" {
int (*_imp__pthread_mutex_init)(pthread_mutex_t *, const pthread_mutexattr_t *) = pthread_mutex_init;
int (*_imp__pthread_mutex_destroy)(pthread_mutex_t *) = pthread_mutex_destroy;
}
