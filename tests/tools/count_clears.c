/* Counts the frames a program draws: loaded with LD_PRELOAD, it passes every glClear on to
 * the real one and counts those that clear the depth buffer, in the first bytes of the file
 * named by DEMOTORVA_CLEAR_COUNT, shared memory that a check can read while the program runs.
 * Every scene clears colour and depth at each drawn frame; showing a scaled frame clears only
 * the window's colour, so swaps without a drawn frame are not counted. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static volatile uint64_t* count;

void glClear(unsigned int mask)
{
    static void (*real)(unsigned int);
    if (!real) real = (void (*)(unsigned int))dlsym(RTLD_NEXT, "glClear");
    if (!count) {
        const char* name = getenv("DEMOTORVA_CLEAR_COUNT");
        int fd = name ? open(name, O_RDWR) : -1;
        void* shared = fd >= 0 ? mmap(NULL, 8, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
        static uint64_t unshared;
        count = shared != MAP_FAILED ? (volatile uint64_t*)shared : &unshared;
    }
    if (mask & 0x100) ++*count; /* GL_DEPTH_BUFFER_BIT */
    if (real) real(mask);
}
