// The capture's outputs: WAV files, an H.264/AAC video through ffmpeg, and the contact sheet.
#pragma once

#include <stdio.h>

#include <string>
#include <vector>

// A 16-bit stereo 44100 Hz WAV written to PATH.part and renamed into place when finished.
struct wav_out {
    FILE *file = nullptr;
    std::string path;
    unsigned frames = 0;  // stereo frames written so far
};
int wav_open(wav_out &w, const char *path);
// Appends frames of interleaved big-endian samples, as the synthesizer renders them.
int wav_write(wav_out &w, const unsigned char *big_endian, int frames);
int wav_finish(wav_out &w);  // completes the header and renames; 0 or -1
void wav_abort(wav_out &w);  // removes the partial file

// A video made by ffmpeg: raw RGB frames are piped into an H.264 stream, and at the
// end the sound (a WAV) is muxed in as AAC; the MP4 appears only when complete.
struct video_out {
    FILE *pipe = nullptr;
    std::string path, stream_path;
};
bool ffmpeg_available(void);
int video_open(video_out &v, const char *path, int width, int height, int fps);
int video_write(video_out &v, const unsigned char *rgb, int width, int height);
int video_finish(video_out &v, const char *wav_path);  // 0 or -1
void video_abort(video_out &v);

// A contact sheet: one thumbnail per beat with the beat's number in its corner.
struct contact_sheet {
    int thumb_w = 0, thumb_h = 0, columns = 8;
    std::vector<int> beats;
    std::vector<std::vector<unsigned char>> thumbs;  // RGB, thumb_w x thumb_h
};
void sheet_add(contact_sheet &s, int beat, const unsigned char *rgb, int width, int height);
int sheet_write(const contact_sheet &s, const char *path);  // 0 or -1

// Averages factor x factor blocks of an RGB picture (supersampling and thumbnails).
void shrink_rgb(const unsigned char *src, int width, int height, int factor, unsigned char *dst);
