// Wave tables, the note table and the pre-rendering of every instrument's note.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "synth/tables.h"

std::atomic<int> beat;
std::atomic<int> lastrig[SYNA_TRACKS];
int counter;

syna_waves waves;
syna_song song;
syna_voice voice[SYNA_TRACKS];

static const double PI = 3.141592653589793;

const char *const notes[SYNA_NOTES] = {
    "c1", "C1", "d1", "D1", "e1", "f1", "F1", "g1", "G1", "a1", "A1", "b1",
    "c2", "C2", "d2", "D2", "e2", "f2", "F2", "g2", "G2", "a2", "A2", "b2",
    "c3", "C3", "d3", "D3", "e3", "f3", "F3", "g3", "G3", "a3", "A3", "b3",
    "c4", "C4", "d4", "D4", "e4", "f4", "F4", "g4", "G4", "a4", "A4", "b4",
    "c5", "C5", "d5", "D5", "e5", "f5", "F5", "g5", "G5", "a5", "A5", "b5",
    "c6", "C6", "d6", "D6", "e6", "f6", "F6", "g6", "G6", "a6", "A6", "b6",
    "echo1", "echo0", "stop", "vol", "sld", "0",
};

// Octave 6 is stored; syna_init halves it down to octave 1.
static const int octave6[12] = {1047, 1109, 1175, 1245, 1319, 1397,
                                1480, 1568, 1661, 1760, 1864, 1976};
int notei[SYNA_NOTES];

static void build_note_table(void)
{
    for (int i = 0; i < 12; i++)
        notei[60 + i] = octave6[i];
    for (int i = 59; i >= 0; i--)  // octave 5 first, each from the one above it
        notei[i] = notei[i + 12] / 2;
    const int commands[6] = {EV_ECHO1, EV_ECHO0, EV_STOP, EV_VOL, EV_SLD, 0};
    for (int i = 0; i < 6; i++)
        notei[72 + i] = commands[i];
}

static void build_wave_tables(void)
{
    int slen = waves.slen;
    for (int w = 0; w < 4; w++)
        free(waves.aalto[w]);
    for (int w = 0; w < 3; w++)
        waves.aalto[w] = (float *)calloc(slen, sizeof(float));
    waves.aalto[3] = (float *)calloc(waves.global, sizeof(float));
    for (int j = 0; j < slen; j++) {
        waves.aalto[0][j] = j < slen / 2 ? -1.0f : 1.0f;
        waves.aalto[1][j] = (float)sin(2 * j * PI / slen);
        waves.aalto[2][j] = (float)(fmod(2.0 * j / slen + 1.0, 2.0) - 1.0);
    }
    // The noise comes from the C library's generator, unseeded: the show's later
    // users of rand() (the tunnel's stray bricks) start where this leaves it.
    for (int j = 0; j < waves.global; j++)
        waves.aalto[3][j] = (float)(rand() % 2000 - 1000) * 0.001f;
}

void reset_playback(void)
{
    for (int j = 0; j < SYNA_TRACKS; j++) {
        voice[j].ti = -1;
        voice[j].pi = 0;
        voice[j].off = -1.0f;
        voice[j].plus = 0.0f;
        voice[j].slide = 0.0f;
        voice[j].vol = 1.0f;
        voice[j].eko = 0;
        voice[j].prev = 0.0f;
        voice[j].zero_run = 1 << 30;  // the rings start all zero
        lastrig[j].store(10000000, std::memory_order_relaxed);
    }
    counter = 0;
    beat.store(0, std::memory_order_relaxed);
}

void syna_init(int rate)
{
    waves.slen = rate / 262;
    waves.global = rate;
    build_note_table();
    build_wave_tables();

    // A second call (tests, tools) starts from an empty song.
    for (int j = 0; j < SYNA_TRACKS; j++) {
        free(song.instr[j]);
        free(song.echo[j]);
    }
    memset(&song, 0, sizeof song);
    for (int j = 0; j < SYNA_TRACKS; j++) {
        song.trak[j][0] = EV_END;
        song.pan[j] = j % 2 ? 0.25f : 0.75f;
        song.pola[j] = 0.0f;
    }
    reset_playback();
}

// Table index of position p: truncated toward zero, then wrapped into 0..T-1.
// A falling sweep can drive p below 0 and a long rising one past the int range;
// both read the table as if it repeated forever.
static int wave_index(float p, int T)
{
    if (p >= 0.0f && p < 2147483648.0f)
        return (int)p % T;
    double i = fmod(trunc((double)p), (double)T);
    return (int)(i < 0 ? i + T : i);
}

void adsr(int attack, int decay, int sustain, int release, int modulation, int sweep, int n,
          int wave)
{
    const int T = wave == 3 ? waves.global : waves.slen;
    const float *table = waves.aalto[wave];
    float *out = song.instr[n];
    if (attack == 0)
        attack = 1;
    if (release == 0)
        release = 1;

    const float mod_inc = modulation ? (float)(modulation * 0.01 * 2 * PI / waves.slen) : 0.0f;
    const float sweep_inc = (float)((float)sweep * 0.001 / waves.slen);
    const float h = (float)(1.0 / attack);

    float p = 0, e = 0, s = 1.0f, a = 0;
    int k = 0;
    // One step: sample the table at the running level, then move every value on.
    auto render = [&](int stage, float r) {
        float v = e * table[wave_index(p, T)];
        if (modulation)
            v = (float)(v * sin((double)a));
        out[k++] = v;
        p = p + s;
        if (stage == 0)
            e = e + h;
        else if (stage == 1)
            e = e - h;
        else if (stage == 3)
            e = e - r;
        s = s + sweep_inc;
        a = a + mod_inc;
    };
    for (int i = 0; i < attack; i++)
        render(0, 0);
    for (int i = 0; i < decay; i++)
        render(1, 0);
    for (int i = 0; i < sustain; i++)
        render(2, 0);
    const float r = e / (float)release;
    for (int i = 0; i < release; i++)
        render(3, r);
}
