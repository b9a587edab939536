// Fuzz target: arbitrary text through the song parser; a song it accepts is played for two seconds.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "synth/synth.h"

enum {
    RATE = 44100,
    PLAYED_FRAMES = 2 * RATE,  // two seconds of every accepted song
    CHUNK = 1024,              // the audio device's buffer, in frames
    NOTE_BUDGET = 200000,      // instrument frames rendered per input, all instruments together
};

// Rendering instruments costs time in proportion to their stage lengths, and a
// few long notes would slow the search a thousandfold. Inputs whose instrument
// lines add up to more than the budget (but stay within what the parser
// accepts, so its refusals are still explored) are passed over.
static bool too_slow(const uint8_t *data, size_t size)
{
    long long total = 0;
    size_t i = 0;
    while (i < size) {
        size_t end = i;
        while (end < size && data[end] != '\n')
            end++;
        // One line without blanks and carriage returns, as the parser sees it.
        char line[512];
        size_t n = 0;
        for (size_t k = i; k < end && n + 1 < sizeof line; k++)
            if (data[k] != ' ' && data[k] != '\r')
                line[n++] = (char)data[k];
        line[n] = 0;
        i = end + 1;
        if (line[0] != 'i' || !strchr(line, ':'))
            continue;
        const char *p = strchr(line, ',');
        long long note = 0;
        for (int stage = 0; stage < 4 && p; stage++) {
            long long v = strtoll(p + 1, NULL, 10);
            if (v > 0 && v < (1LL << 40))
                note += v;
            p = strchr(p + 1, ',');
        }
        if (note <= (4 << 20))
            total += note;
    }
    return total > NOTE_BUDGET;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (too_slow(data, size))
        return 0;
    // Every input starts from fresh tables, so a run depends on its input alone.
    syna_init(RATE);
    char *text = (char *)malloc(size + 1);
    if (!text)
        return 0;
    memcpy(text, data, size);
    text[size] = 0;
    if (syna_get(text) == 0) {
        static short buffer[2 * CHUNK];
        for (int done = 0; done < PLAYED_FRAMES; done += CHUNK)
            syna_play(buffer, CHUNK);
    } else if (!syna_error()[0]) {
        abort();  // a refusal always says why
    }
    free(text);
    return 0;
}
