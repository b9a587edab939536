// The sequencer and mixer on the audio thread: rows, events, voices, echo, filter, output.
//
// Nothing here allocates, locks or calls a library function. The arithmetic is
// part of the sound: single and double precision, truncations and constants are
// as the song was mixed with, and any change must keep the output bit-identical.
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
    for (int i = 0; i < frames; i++) {
        if (row_frame == 0) {
            beat.store(counter / update / 16, std::memory_order_relaxed);
            for (int j = 1; j <= tracks; j++)
                row_step(j);
        }
        const int wr = echo_write;
        const int rd = wr + 1 == E ? 0 : wr + 1;
        float left = 0.0f, right = 0.0f;
        for (int j = 1; j <= tracks; j++) {
            syna_voice &v = voice[j];
            float *ring = song.echo[j];
            const float o = ring[rd];
            ring[wr] = (float)(o * 0.6);
            float x;
            if (v.off >= 0) {
                x = o + song.instr[j][(int)v.off];
                if (v.eko)
                    ring[wr] = (float)(x * 0.2);
                v.off = v.off + v.plus;
                v.plus = v.plus + v.slide;
                if (v.off >= (float)song.len[j] || v.off < 0)
                    v.off = -1.0f;
            } else {
                x = o;
            }
            const float p = song.pola[j];
            if (p != 0)
                x = x * (1 - p) + v.prev * p;
            v.prev = x;
            const float y = x * v.vol;
            left = left + song.pan[j] * y;
            right = right + (1 - song.pan[j]) * y;
        }
        double l = left, r = right;
        l = l > 3.0 ? 3.0 : l < -3.0 ? -3.0 : l;
        r = r > 3.0 ? 3.0 : r < -3.0 ? -3.0 : r;
        buffer[2 * i] = to_big_endian((int)(l * 10922.0));
        buffer[2 * i + 1] = to_big_endian((int)(r * 10922.0));

        counter = (int)((unsigned)counter + 1u);
        row_frame = row_frame + 1 == update ? 0 : row_frame + 1;
        echo_write = rd;
    }
}

void pakki(void *, unsigned char *stream, int bytes)
{
    syna_play((short *)stream, bytes / 4);
}
