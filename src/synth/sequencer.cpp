// The sequencer and mixer on the audio thread: rows, events, voices, echo, filter, output.
//
// Nothing here allocates, locks or calls a library function. The arithmetic is
// part of the sound: single and double precision, truncations and constants are
// as the song was mixed with, and any change must keep the output bit-identical.
#include <atomic>

#include "synth/tables.h"

static inline short to_big_endian(int v)
{
    unsigned short u = (unsigned short)v;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    u = (unsigned short)((u >> 8) | (u << 8));
#endif
    return (short)u;
}

// One row of track j: count the row, move along the pattern and its list, run the event.
static void row_step(int j)
{
    syna_voice &v = voice[j];
    lastrig[j].store(lastrig[j].load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    if (v.ti == -2)
        return;
    const int *list = song.trak[j];
    v.pi++;
    if (v.ti == -1 || song.ptn[list[v.ti]][v.pi] == EV_END) {
        v.ti++;
        if (list[v.ti] == EV_LOOP)
            v.ti = 0;
        if (list[v.ti] == EV_END)
            v.ti = -2;
        v.pi = 0;
    }
    if (v.ti == -2)
        return;
    const int *slot = song.ptn[list[v.ti]];
    int ev = slot[v.pi];
    switch (ev) {
    case EV_EMPTY: break;
    case EV_ECHO1: v.eko = 1; break;
    case EV_ECHO0: v.eko = 0; break;
    case EV_STOP: v.off = -1.0f; break;
    case EV_VOL: v.vol = (float)(slot[++v.pi] * 0.01); break;
    case EV_SLD: v.slide = (float)(slot[++v.pi] * 0.00001); break;
    default:  // a note of frequency ev
        lastrig[j].store(0, std::memory_order_relaxed);
        v.off = 0.0f;
        v.plus = (float)ev * 0.0038167939f;
        break;
    }
}

enum { BLOCK = 1024 };  // frames mixed track by track before they are written out

// Left and right sums of the frames of one block, built up track by track in
// increasing track order, which keeps every frame's sums bit-identical to adding
// the tracks frame by frame.
static float mix_left[BLOCK], mix_right[BLOCK];

// A track is idle when its voice is silent, its echo ring holds only zeros and its
// filter has come to rest: it then adds nothing and changes nothing, and is skipped.
static bool idle(const syna_voice &v, int E)
{
    return v.off < 0 && v.zero_run >= E && v.prev == 0;
}

// The voice steps of K tracks (in increasing order) for n frames, the first frame
// writing echo slot `wr`. Several tracks at once let their filter and read-position
// chains run side by side; each frame still adds the tracks in the same order.
template <int K>
static void mix_tracks(const int *js, int n, int wr, int E)
{
    float *ring[K];
    const float *sample[K];
    float end[K], p[K], q[K], pan[K], span[K], off[K], plus[K], prev[K], slide[K], vol[K];
    int eko[K], zero_run[K];
    for (int k = 0; k < K; k++) {
        const int j = js[k];
        const syna_voice &v = voice[j];
        ring[k] = song.echo[j];
        sample[k] = song.instr[j];
        end[k] = (float)song.len[j];
        p[k] = song.pola[j];
        q[k] = 1 - p[k];
        pan[k] = song.pan[j];
        span[k] = 1 - pan[k];
        off[k] = v.off;
        plus[k] = v.plus;
        prev[k] = v.prev;
        slide[k] = v.slide;
        vol[k] = v.vol;
        eko[k] = v.eko;
        zero_run[k] = v.zero_run;
    }
    int rd = wr + 1 == E ? 0 : wr + 1;
    for (int f = 0; f < n; f++) {
        float left = mix_left[f], right = mix_right[f];
        for (int k = 0; k < K; k++) {
            // The echo: read the slot written E - 1 frames ago, decay what is written.
            const float o = ring[k][rd];
            float fed = (float)(o * 0.6);
            float x;
            if (off[k] >= 0) {
                x = o + sample[k][(int)off[k]];
                if (eko[k])
                    fed = (float)(x * 0.2);
                off[k] = off[k] + plus[k];
                plus[k] = plus[k] + slide[k];
                if (off[k] >= end[k] || off[k] < 0)
                    off[k] = -1.0f;
            } else {
                x = o;
            }
            ring[k][wr] = fed;
            zero_run[k] = fed == 0 ? (zero_run[k] < E ? zero_run[k] + 1 : E) : 0;
            if (p[k] != 0)
                x = x * q[k] + prev[k] * p[k];
            prev[k] = x;
            const float y = x * vol[k];
            left = left + pan[k] * y;
            right = right + span[k] * y;
        }
        mix_left[f] = left;
        mix_right[f] = right;
        wr = rd;
        rd = rd + 1 == E ? 0 : rd + 1;
    }
    for (int k = 0; k < K; k++) {
        syna_voice &v = voice[js[k]];
        v.off = off[k];
        v.plus = plus[k];
        v.prev = prev[k];
        v.zero_run = zero_run[k];
    }
}

// Clamps the sums to +-3.0, scales them by 10922 and stores them big-endian.
static void write_block(short *out, int n)
{
    for (int f = 0; f < n; f++) {
        double l = mix_left[f], r = mix_right[f];
        l = l > 3.0 ? 3.0 : l < -3.0 ? -3.0 : l;
        r = r > 3.0 ? 3.0 : r < -3.0 ? -3.0 : r;
        out[2 * f] = to_big_endian((int)(l * 10922.0));
        out[2 * f + 1] = to_big_endian((int)(r * 10922.0));
    }
}

void syna_play(short *buffer, int frames)
{
    if (frames <= 0)
        return;
    // Without a song (no tempo yet, or a refused one) no track plays and no row
    // begins, so the loop below writes silence.
    const bool have_song = song.update > 0;
    const int update = have_song ? song.update : 1 << 30;
    const int E = have_song ? song.ekolen : 1 << 30;
    const int tracks = have_song ? song.tracks : 0;

    // Positions in the row and in the echo rings, from the frame count taken as
    // unsigned so that they stay inside the rings even after it wraps (13.5 hours).
    int row_frame = (int)((unsigned)counter % (unsigned)update);
    int echo_write = (int)((unsigned)counter % (unsigned)E);
    for (int i = 0; i < frames;) {
        if (row_frame == 0) {
            beat.store(counter / update / 16, std::memory_order_relaxed);
            for (int j = 1; j <= tracks; j++)
                row_step(j);
        }
        // A block ends at the call's end, the next row boundary or BLOCK frames.
        int n = frames - i;
        if (n > update - row_frame)
            n = update - row_frame;
        if (n > BLOCK)
            n = BLOCK;
        for (int f = 0; f < n; f++)
            mix_left[f] = mix_right[f] = 0.0f;
        int active[SYNA_TRACKS], count = 0;
        for (int j = 1; j <= tracks; j++)
            if (!idle(voice[j], E))
                active[count++] = j;
        int k = 0;
        for (; k + 4 <= count; k += 4)
            mix_tracks<4>(active + k, n, echo_write, E);
        switch (count - k) {
        case 3: mix_tracks<3>(active + k, n, echo_write, E); break;
        case 2: mix_tracks<2>(active + k, n, echo_write, E); break;
        case 1: mix_tracks<1>(active + k, n, echo_write, E); break;
        }
        write_block(buffer + 2 * i, n);

        i += n;
        counter = (int)((unsigned)counter + (unsigned)n);
        row_frame = row_frame + n == update ? 0 : row_frame + n;
        echo_write = echo_write + n >= E ? echo_write + n - E : echo_write + n;
    }
}

// The tables reach the audio thread through this counter: the parser's release store
// and the callback's acquire load order every write of the start-up before the first
// sample, whatever the media library does inside when it unpauses the device.
static std::atomic<unsigned> tables_published;

void publish_tables(void)
{
    tables_published.fetch_add(1, std::memory_order_release);
}

void pakki(void *, unsigned char *stream, int bytes)
{
    (void)tables_published.load(std::memory_order_acquire);
    syna_play((short *)stream, bytes / 4);
}

int syna_row_frames(void)
{
    return song.update;
}
