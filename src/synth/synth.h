// The music synthesizer: song parser, instrument renderer, sequencer and mixer.
#pragma once

#include <atomic>

enum { SYNA_TRACKS = 30 };  // track slots 0..29; slot 0 never plays

// Song position published by the sequencer at every row boundary and read by
// the show on the main thread. Relaxed atomics: plain 32-bit loads and stores.
extern std::atomic<int> beat;                  // rows / 16 since syna_init
extern std::atomic<int> lastrig[SYNA_TRACKS];  // rows since each track's last note
extern int counter;                            // frames rendered since syna_init

void syna_init(int rate);                 // builds the tables; rate in frames per second
int syna_get(char *text);                 // parses a writable song text in place; 0 or -1
int syna_load(const char *path);          // reads and parses a song file; 0 or -1
void syna_play(short *buffer, int frames);  // renders frames (2 samples each) and advances the song
void pakki(void *userdata, unsigned char *stream, int bytes);  // the audio callback
int syna_row_frames(void);                // frames per row of the parsed song

// The embedded song text, writable because the parser cuts it in place.
extern unsigned char piisi[];
