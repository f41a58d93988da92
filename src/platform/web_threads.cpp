// Threads in a page without shared memory: each thread the program starts (the offline frame
// writer's) runs as a fiber on the page's one thread, taking turns with the main program.
//
// A page served without cross-origin isolation cannot run WebAssembly threads, and there
// emscripten's pthread_create only fails. Here pthread_create makes a fiber (ASYNCIFY), and
// waiting on a condition variable hands the turn on: a fiber's wait goes back to the main
// program, the main program's wait runs each fiber until it waits or ends. A wait may return
// before anyone signalled, which callers of condition variables allow for; locks need nothing
// because a turn only changes hands inside a wait or a join. The web build links with
// --wrap=pthread_cond_wait and --wrap=pthread_cond_timedwait, so those calls come here; the
// native build compiles this unit to nothing.
#ifdef __EMSCRIPTEN__
#include <emscripten/fiber.h>
#include <pthread.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {
constexpr size_t cStackSize = 512 * 1024;
constexpr size_t asyncifyStackSize = 256 * 1024;

struct GreenThread {
    emscripten_fiber_t fiber;
    void* (*start)(void*) = nullptr;
    void* argument = nullptr;
    void* result = nullptr;
    bool finished = false;
    bool detached = false;
    std::vector<char> cStack, asyncifyStack;
};

emscripten_fiber_t mainFiber;
std::vector<char> mainAsyncifyStack;
bool mainReady = false;
GreenThread* running = nullptr;  // the fiber whose turn it is, null for the main program
std::vector<GreenThread*> threads;

void ensureMainFiber()
{
    if (mainReady) return;
    mainAsyncifyStack.resize(asyncifyStackSize);
    emscripten_fiber_init_from_current_context(&mainFiber, mainAsyncifyStack.data(),
                                               mainAsyncifyStack.size());
    mainReady = true;
}

void fiberEntry(void* data)
{
    GreenThread* thread = static_cast<GreenThread*>(data);
    thread->result = thread->start(thread->argument);
    thread->finished = true;
    running = nullptr;
    emscripten_fiber_swap(&thread->fiber, &mainFiber);
}

// One turn of the given fiber, from the main program: it runs until it waits or ends.
void runTurn(GreenThread* thread)
{
    if (thread->finished) return;
    running = thread;
    emscripten_fiber_swap(&mainFiber, &thread->fiber);
    running = nullptr;
}

void forget(GreenThread* thread)
{
    for (size_t i = 0; i < threads.size(); ++i)
        if (threads[i] == thread) threads.erase(threads.begin() + static_cast<long>(i));
    delete thread;
}

// Hands the turn on from whoever waits.
void yieldTurn()
{
    if (running) {
        GreenThread* self = running;
        running = nullptr;
        emscripten_fiber_swap(&self->fiber, &mainFiber);
        return;
    }
    const std::vector<GreenThread*> all = threads;
    for (GreenThread* thread : all) {
        runTurn(thread);
        if (thread->finished && thread->detached) forget(thread);
    }
}
}  // namespace

extern "C" {
int pthread_create(pthread_t* id, const pthread_attr_t*, void* (*start)(void*), void* argument)
{
    if (!id || !start) return EINVAL;
    ensureMainFiber();
    GreenThread* thread = new GreenThread;
    thread->start = start;
    thread->argument = argument;
    thread->cStack.resize(cStackSize);
    thread->asyncifyStack.resize(asyncifyStackSize);
    emscripten_fiber_init(&thread->fiber, fiberEntry, thread, thread->cStack.data(),
                          thread->cStack.size(), thread->asyncifyStack.data(),
                          thread->asyncifyStack.size());
    threads.push_back(thread);
    *id = reinterpret_cast<pthread_t>(thread);
    return 0;
}

int pthread_join(pthread_t id, void** result)
{
    GreenThread* thread = reinterpret_cast<GreenThread*>(id);
    if (!thread || running == thread) return EINVAL;
    while (!thread->finished) {
        if (running) yieldTurn();
        else runTurn(thread);
    }
    if (result) *result = thread->result;
    forget(thread);
    return 0;
}

int pthread_detach(pthread_t id)
{
    GreenThread* thread = reinterpret_cast<GreenThread*>(id);
    if (!thread) return EINVAL;
    thread->detached = true;
    if (thread->finished) forget(thread);
    return 0;
}

int __wrap_pthread_cond_wait(pthread_cond_t*, pthread_mutex_t*)
{
    yieldTurn();
    return 0;
}

int __wrap_pthread_cond_timedwait(pthread_cond_t*, pthread_mutex_t*, const struct timespec*)
{
    yieldTurn();
    return 0;
}
}
#endif
