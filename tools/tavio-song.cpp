// tavio-song: checks a song, prints what it holds and renders it offline to a WAV file.
#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "synth/tables.h"

static const int RATE = 44100;
static const int CHUNK = 1024;            // frames per syna_play call, as the audio device asks
static const double MAX_SECONDS = 600.0;  // a looping song is cut here

static const char usage[] =
    "usage: tavio-song [SONG] [-o OUT.wav] [--info] [--min-frames N]\n"
    "  SONG            a song text file; without it, the song built into tavio\n"
    "  -o OUT.wav      render the song to a 16-bit stereo 44100 Hz WAV file, until every\n"
    "                  track has finished and the sound has stayed silent for an echo length\n"
    "                  (the built-in song: at least to the show's end, the start of beat 73;\n"
    "                  a song that loops: 600 seconds)\n"
    "  --min-frames N  render at least N frames\n"
    "  --info          print the tempo, every track's length and notes, and the song's length\n"
    "  --help          print this help\n"
    "Without -o, --info is implied. A song that cannot be played is reported as\n"
    "FILE:LINE: what is wrong, with exit status 1; bad arguments give exit status 2.\n";

struct options {
    const char *song = nullptr;
    const char *out = nullptr;
    bool info = false;
    long min_frames = 0;
};

static int bad_arguments(const char *what, const char *arg)
{
    fprintf(stderr, "tavio-song: %s%s%s\n%s", what, arg ? ": " : "", arg ? arg : "", usage);
    return 2;
}

// Returns -1 when the arguments are fine, else the exit status.
static int parse_arguments(int argc, char **argv, options &o)
{
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
            fputs(usage, stdout);
            return 0;
        } else if (!strcmp(a, "--info")) {
            o.info = true;
        } else if (!strcmp(a, "-o")) {
            if (i + 1 >= argc || !argv[i + 1][0])
                return bad_arguments("-o needs a file name", nullptr);
            o.out = argv[++i];
        } else if (!strcmp(a, "--min-frames")) {
            char *end;
            if (i + 1 >= argc)
                return bad_arguments("--min-frames needs a number", nullptr);
            errno = 0;
            o.min_frames = strtol(argv[++i], &end, 10);
            if (errno || *end || end == argv[i] || o.min_frames < 0 ||
                o.min_frames > (long)(MAX_SECONDS * RATE))
                return bad_arguments("--min-frames needs a number of frames up to 600 seconds",
                                     argv[i]);
        } else if (a[0] == '-' && a[1]) {
            return bad_arguments("unknown option", a);
        } else if (o.song) {
            return bad_arguments("more than one song", a);
        } else {
            o.song = a;
        }
    }
    if (!o.out)
        o.info = true;
    return -1;
}

static void print_info(void)
{
    printf("tempo: %d bpm, %d frames per row\n", song.bpm, song.update);
    int longest = 0;
    bool loops = false;
    for (int j = 0; j < SYNA_TRACKS; j++) {
        if (song.trak[j][0] == EV_END)
            continue;
        int notes_in = 0, rows = track_rows(j, &notes_in);
        const char *silent = j < 1 || j > song.tracks ? " (never played: tracks are played "
                                                       "from 1 up to the first without a list)"
                                                     : "";
        if (rows < 0)
            printf("track %d: loops, %d notes per pass%s\n", j, notes_in, silent);
        else
            printf("track %d: %d rows, %d notes%s\n", j, rows, notes_in, silent);
        if (*silent)
            continue;
        loops |= rows < 0;
        if (rows > longest)
            longest = rows;
    }
    if (loops)
        printf("song: loops\n");
    else
        printf("song: %d rows, %.2f seconds\n", longest, (double)longest * song.update / RATE);
}

static bool all_tracks_finished(void)
{
    for (int j = 1; j <= song.tracks; j++)
        if (voice[j].ti != -2)
            return false;
    return true;
}

static void put16(std::string &s, unsigned v)
{
    s += (char)(v & 255);
    s += (char)(v >> 8 & 255);
}

static void put32(std::string &s, unsigned v)
{
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

// Writes the whole file under a temporary name and renames it into place, so
// OUT is either the complete WAV or untouched.
static bool write_wav(const char *path, const std::vector<short> &be)
{
    unsigned data_bytes = (unsigned)(be.size() * 2);
    std::string h = "RIFF";
    put32(h, 36 + data_bytes);
    h += "WAVEfmt ";
    put32(h, 16);
    put16(h, 1);             // PCM
    put16(h, 2);             // channels
    put32(h, RATE);
    put32(h, RATE * 4);      // bytes per second
    put16(h, 4);             // bytes per frame
    put16(h, 16);            // bits per sample
    h += "data";
    put32(h, data_bytes);

    std::vector<unsigned char> body(data_bytes);
    for (size_t i = 0; i < be.size(); i++) {  // big-endian samples to little-endian
        unsigned short u = (unsigned short)be[i];
        unsigned char hi = ((unsigned char *)&u)[0], lo = ((unsigned char *)&u)[1];
        body[2 * i] = lo;
        body[2 * i + 1] = hi;
    }

    std::string tmp = std::string(path) + ".tmpXXXXXX";
    int fd = mkstemp(&tmp[0]);
    if (fd < 0) {
        fprintf(stderr, "tavio-song: %s: cannot create: %s\n", path, strerror(errno));
        return false;
    }
    // mkstemp makes the file private; give it the permissions a plain new file gets.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    FILE *f = fdopen(fd, "wb");
    bool ok = f && fwrite(h.data(), 1, h.size(), f) == h.size() &&
              fwrite(body.data(), 1, body.size(), f) == body.size();
    ok = f && fflush(f) == 0 && ok && fsync(fd) == 0;
    int err = errno;
    if (f ? fclose(f) != 0 : close(fd) != 0)
        ok = false;
    if (ok && rename(tmp.c_str(), path) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        unlink(tmp.c_str());
        fprintf(stderr, "tavio-song: %s: cannot write: %s\n", path, strerror(err));
    }
    return ok;
}

static double now_seconds(void)
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// Renders through syna_play in device-sized calls until the song is over.
static std::vector<short> render(long min_frames, double *seconds_spent)
{
    const long max_frames = (long)(MAX_SECONDS * RATE);
    std::vector<short> out;
    out.reserve((size_t)2 * 150 * RATE);
    short buf[2 * CHUNK];
    long frames = 0, silent_run = 0;
    double t0 = now_seconds();
    for (;;) {
        bool over = frames >= min_frames && all_tracks_finished() && silent_run >= song.ekolen;
        if (over || frames >= max_frames)
            break;
        syna_play(buf, CHUNK);
        for (int i = 0; i < CHUNK; i++)
            silent_run = buf[2 * i] || buf[2 * i + 1] ? 0 : silent_run + 1;
        out.insert(out.end(), buf, buf + 2 * CHUNK);
        frames += CHUNK;
    }
    *seconds_spent = now_seconds() - t0;
    if (frames >= max_frames && !all_tracks_finished())
        fprintf(stderr, "tavio-song: the song loops; stopped after %.0f seconds\n", MAX_SECONDS);
    return out;
}

int main(int argc, char **argv)
{
    options o;
    int status = parse_arguments(argc, argv, o);
    if (status >= 0)
        return status;

    syna_init(RATE);
    int parsed = o.song ? syna_load(o.song) : syna_get((char *)piisi);
    if (parsed < 0) {
        const char *name = o.song ? o.song : "embedded song";
        if (syna_error_line() > 0)
            fprintf(stderr, "%s:%d: %s\n", name, syna_error_line(), syna_error());
        else
            fprintf(stderr, "%s: %s\n", name, syna_error());
        return 1;
    }
    if (o.info)
        print_info();
    if (!o.out)
        return 0;

    long min_frames = o.min_frames;
    if (!o.song) {  // the show ends in the first frame of beat 73
        long show_end = 73L * 16 * song.update + 1;
        if (min_frames < show_end)
            min_frames = show_end;
    }
    double spent;
    std::vector<short> samples = render(min_frames, &spent);
    if (!write_wav(o.out, samples))
        return 1;
    double seconds = samples.size() / 2.0 / RATE;
    fprintf(stderr, "tavio-song: wrote %s: %.2f seconds, rendered at %.0f times real time\n",
            o.out, seconds, spent > 0 ? seconds / spent : 0.0);
    return 0;
}
