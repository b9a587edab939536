// The audio callback allocates nothing, takes no lock and calls no library function.
//
// This file interposes malloc, calloc, realloc, free and pthread_mutex_lock for the
// whole test program; they count while `watching` is set and otherwise only forward.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <stdio.h>

#include <string>

#include "test_synth_helpers.h"

#if defined(__SANITIZE_ADDRESS__)
#define TAVIO_NO_INTERPOSE 1  // the sanitizer owns malloc
#endif

namespace {
volatile bool watching;
volatile long allocations, locks;
}  // namespace

#ifndef TAVIO_NO_INTERPOSE
extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void __libc_free(void *);

void *malloc(size_t n)
{
    if (watching)
        allocations = allocations + 1;
    return __libc_malloc(n);
}
void *calloc(size_t n, size_t size)
{
    if (watching)
        allocations = allocations + 1;
    return __libc_calloc(n, size);
}
void *realloc(void *p, size_t n)
{
    if (watching)
        allocations = allocations + 1;
    return __libc_realloc(p, n);
}
void free(void *p)
{
    if (watching)
        allocations = allocations + 1;
    __libc_free(p);
}
int pthread_mutex_lock(pthread_mutex_t *m)
{
    static int (*real)(pthread_mutex_t *);
    if (!real)
        real = (int (*)(pthread_mutex_t *))dlsym(RTLD_NEXT, "pthread_mutex_lock");
    if (watching)
        locks = locks + 1;
    return real(m);
}
}
#endif

namespace {

TEST(SynthAudioThread, NoAllocationNoLock)
{
#ifdef TAVIO_NO_INTERPOSE
    GTEST_SKIP() << "allocation counting needs the plain allocator";
#endif
    ASSERT_EQ(parse_embedded_song(), 0);
    static unsigned char buf[4 * 5000];
    const int sizes[] = {4096, 4094, 1, 3, 17, 4 * 5000, 4 * 4999, 0, 4 * 1023 + 2};

    // The counters work: an allocation and a lock while watching are seen.
    watching = true;
    void *p = malloc(16);
    pthread_mutex_t m = PTHREAD_MUTEX_INITIALIZER;
    pthread_mutex_lock(&m);
    watching = false;
    pthread_mutex_unlock(&m);
    free(p);
    ASSERT_EQ(allocations, 1);
    ASSERT_EQ(locks, 1);

    allocations = locks = 0;
    watching = true;
    for (int i = 0; i < 3000; i++)  // about a minute of the song, across many rows
        pakki(nullptr, buf, sizes[i % 9]);
    watching = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(locks, 0);
    EXPECT_GT(beat.load(), 10);
}

// The sequencer's object file names no symbol outside the synthesizer's own tables:
// no library function can be called from it.
TEST(SynthAudioThread, SequencerCallsNoLibraryFunction)
{
    std::string object = TAVIO_BINARY_DIR "/CMakeFiles/tavio_core.dir/src/synth/sequencer.cpp.o";
    FILE *nm = popen(("nm -u '" + object + "' 2>&1").c_str(), "r");
    ASSERT_NE(nm, nullptr);
    char line[512];
    std::string undefined;
    int names = 0;
    while (fgets(line, sizeof line, nm)) {
        std::string name = line;
        name = name.substr(name.find_last_of(' ') + 1);
        name.pop_back();
        names++;
        if (name.rfind("__asan", 0) == 0 || name.rfind("__ubsan", 0) == 0 ||
            name.rfind("__sanitizer", 0) == 0 || name == "_GLOBAL_OFFSET_TABLE_")
            continue;  // instrumentation of the sanitizer build
        if (name != "beat" && name != "counter" && name != "lastrig" && name != "song" &&
            name != "voice")
            undefined += name + " ";
    }
    ASSERT_EQ(pclose(nm), 0) << "nm failed on " << object;
    EXPECT_GT(names, 0);
    EXPECT_EQ(undefined, "");
}

}  // namespace
