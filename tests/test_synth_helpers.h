// Shared helpers of the synthesizer tests: parse a song text, render frames, decode samples.
#pragma once

#include <string>
#include <vector>

#include "synth/tables.h"

// Starts the synthesizer afresh at 44100 frames per second and parses `text`.
// The text is kept alive for the rest of the test.
inline int parse_song(const std::string &text)
{
    static std::vector<std::vector<char>> kept;
    kept.emplace_back(text.begin(), text.end());
    kept.back().push_back(0);
    syna_init(44100);
    return syna_get(kept.back().data());
}

// The mixer writes big-endian samples; this reads one back as a number.
inline int sample_value(short big_endian)
{
    unsigned short u = (unsigned short)big_endian;
    const unsigned char *b = (const unsigned char *)&u;
    return (short)(b[0] << 8 | b[1]);
}

// Renders `frames` frames and returns their samples (left, right, ...) as numbers.
inline std::vector<int> render_frames(int frames)
{
    std::vector<short> buf(2 * (size_t)frames);
    syna_play(buf.data(), frames);
    std::vector<int> out(buf.size());
    for (size_t i = 0; i < buf.size(); i++)
        out[i] = sample_value(buf[i]);
    return out;
}

// A copy of the embedded song, parsed.
inline int parse_embedded_song(void)
{
    return parse_song((const char *)piisi);
}
