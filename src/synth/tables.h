// The synthesizer's tables, shared by its parser, renderer and sequencer (and read by its tests).
#pragma once

#include "synth/synth.h"

enum {
    SYNA_PATTERNS = 1000,    // pattern numbers 0..999
    SYNA_SLOTS = 100,        // slots per pattern and entries per track list, terminator included
    SYNA_LINES = 1000,       // only the first 1000 non-empty lines of a song are read
    SYNA_NOTES = 78,         // note-name table: 72 notes, 5 commands, the "0" end marker
    SYNA_MAX_SAMPLE = 4194304,  // frames in one instrument's sample (95 s at 44100)
};

// Pattern slot values: a note is its frequency in Hz (> 0).
enum {
    EV_EMPTY = 0,
    EV_END = -2,    // end of a pattern or of a track list
    EV_LOOP = -3,   // track list only: continue with the first entry
    EV_ECHO1 = -4,  // feed the track into its echo ring
    EV_ECHO0 = -5,  // stop feeding it
    EV_STOP = -6,   // silence the voice at once
    EV_VOL = -7,    // next slot: track volume in percent
    EV_SLD = -8,    // next slot: pitch slide per frame in units of 0.00001
};

// The wave tables and the note table (built by syna_init).
struct syna_waves {
    int global;     // synthesis rate, frames per second
    int slen;       // entries of a periodic table: global / 262 (168 at 44100)
    float *aalto[4];  // 0 square, 1 sine, 2 sawtooth (slen entries), 3 noise (global entries)
};
extern syna_waves waves;
extern const char *const notes[SYNA_NOTES];  // "c1".."b6", "echo1", "echo0", "stop", "vol", "sld", "0"
extern int notei[SYNA_NOTES];                // frequency in Hz, or the command's slot value

// What the parser stores: tempo, patterns, track lists and instruments.
struct syna_song {
    int bpm;                             // tempo as written, 3..10000 (0 = none yet)
    int update;                          // frames per row, 1 or more once a tempo is read
    int ekolen;                          // frames in every echo ring: 3 * update
    int ptn[SYNA_PATTERNS][SYNA_SLOTS];  // slots of pattern n, ended by EV_END (at most 99 before it)
    int trak[SYNA_TRACKS][SYNA_SLOTS];   // pattern list of track n: pattern numbers 0..999,
                                         // EV_LOOP (never first), EV_END
    float *instr[SYNA_TRACKS];           // instrument n's rendered sample
    int len[SYNA_TRACKS];                // entries of instr[n], 2..SYNA_MAX_SAMPLE: the stages as
                                         // written plus one (a closing 0 unless a stage of 0 was
                                         // rendered as 1)
    float *echo[SYNA_TRACKS];            // echo ring of track n: ekolen floats
    float pan[SYNA_TRACKS];              // left share of track n, 0..1 (right gets 1 - pan)
    float pola[SYNA_TRACKS];             // one-pole low-pass coefficient, 0..1; 0 = no filter
    int tracks;                          // tracks the sequencer scans: 1..tracks (0 = silence)
};
extern syna_song song;

// Per-track playback state of the sequencer.
struct syna_voice {
    int ti;        // entry of the track list; -1 not started, -2 finished
    int pi;        // slot in the current pattern
    float off;     // read position in the instrument sample, in entries; < 0 = silent
    float plus;    // read step, entries per frame: note frequency / 262
    float slide;   // added to plus after every frame ("sld" argument * 0.00001)
    float vol;     // volume factor ("vol" argument * 0.01; 1.0 at the start)
    int eko;       // 1 = feed the echo ring, 0 = not
    float prev;    // the filter's previous output
    int zero_run;  // zeros written into the echo ring in a row (up to its length)
};
extern syna_voice voice[SYNA_TRACKS];

// Renders instrument n into song.instr[n] (song.len[n] entries allocated by the caller).
void adsr(int attack, int decay, int sustain, int release, int modulation, int sweep, int n,
          int wave);

// Resets the per-track playback state and the song clock (syna_init and a new song).
void reset_playback(void);

// Rows that track j's list plays (a "vol" or "sld" with its argument is one row),
// or -1 if the list loops; *note_count gets the number of notes in them.
int track_rows(int j, int *note_count);

// Makes everything the main thread wrote so far visible to the audio callback.
void publish_tables(void);
