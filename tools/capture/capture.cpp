// tavio-capture: plays the show against a virtual clock offscreen and writes frames, video and sound.
#include <GL/gl.h>
#include <errno.h>
#include <math.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "media.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/offscreen.h"
#include "shell/png.h"
#include "shell/show.h"
#include "synth/synth.h"

static const char usage[] =
    "usage: tavio-capture [options]\n"
    "Plays the show offscreen against a virtual clock, with the sound rendered in lockstep,\n"
    "and writes what it drew. Without outputs it only measures (see the summary).\n"
    "  --fps N            frames per second of virtual time (default 60, 1..240)\n"
    "  --size WxH         picture size (default 1024x768, each side 16..8192)\n"
    "  --from BEAT        first beat written, decimal (default 0); earlier frames are\n"
    "                     still played, so every frame comes out the same\n"
    "  --to BEAT          stop before this beat, decimal (default: the show's end, the\n"
    "                     first frame in which the song position passes beat 72)\n"
    "  --png DIR          one PNG per frame, DIR/NNNNNN.png, numbered from the show's start\n"
    "  --video FILE       an H.264/AAC MP4 with the sound (needs ffmpeg)\n"
    "  --wav FILE         the sound of the range, 16-bit stereo 44100 Hz\n"
    "  --sheet FILE       a PNG contact sheet: the first frame of every beat, labelled\n"
    "  --supersample N    render N times larger and average down (1..8)\n"
    "  --stats FILE       CSV: frame, seconds, beat, scene, draw milliseconds\n"
    "  --help             print this help\n";

struct options {
    int fps = 60, width = 1024, height = 768, supersample = 1;
    double from = 0, to = -1;
    const char *png_dir = nullptr, *video = nullptr, *wav = nullptr, *sheet = nullptr,
               *stats = nullptr;
};

static int bad_usage(const char *fmt, const char *arg)
{
    fprintf(stderr, "tavio-capture: ");
    fprintf(stderr, fmt, arg);
    fprintf(stderr, "\n%s", usage);
    return 2;
}

static bool parse_int(const char *s, int lo, int hi, int *out)
{
    char *end;
    errno = 0;
    long v = strtol(s, &end, 10);
    if (errno || end == s || *end || v < lo || v > hi)
        return false;
    *out = (int)v;
    return true;
}

static bool parse_beat(const char *s, double *out)
{
    char *end;
    double v = strtod(s, &end);
    if (end == s || *end || !(v >= 0) || v > 1e6)
        return false;
    *out = v;
    return true;
}

static bool parse_size(const char *s, int *w, int *h)
{
    char wbuf[32];
    const char *x = strchr(s, 'x');
    if (!x || (size_t)(x - s) >= sizeof wbuf)
        return false;
    memcpy(wbuf, s, (size_t)(x - s));
    wbuf[x - s] = 0;
    return parse_int(wbuf, 16, 8192, w) && parse_int(x + 1, 16, 8192, h);
}

// Returns 0 with the options filled, 1 for --help, 2 after printing a usage error.
static int parse_options(int argc, char **argv, options &o)
{
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return 1;
        const char *v;
        size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            v = argv[i] + eq + 1;
            arg = arg.substr(0, eq);
        } else if (arg.rfind("--", 0) == 0 && i + 1 < argc) {
            v = argv[++i];
        } else {
            return bad_usage("unknown or incomplete argument '%s'", argv[i]);
        }
        if (arg == "--fps") {
            if (!parse_int(v, 1, 240, &o.fps))
                return bad_usage("--fps needs a whole number from 1 to 240, not '%s'", v);
        } else if (arg == "--size") {
            if (!parse_size(v, &o.width, &o.height))
                return bad_usage("--size needs WxH with each side from 16 to 8192, not '%s'", v);
        } else if (arg == "--from") {
            if (!parse_beat(v, &o.from))
                return bad_usage("--from needs a beat of 0 or more, not '%s'", v);
        } else if (arg == "--to") {
            if (!parse_beat(v, &o.to))
                return bad_usage("--to needs a beat of 0 or more, not '%s'", v);
        } else if (arg == "--supersample") {
            if (!parse_int(v, 1, 8, &o.supersample))
                return bad_usage("--supersample needs a whole number from 1 to 8, not '%s'", v);
        } else if (arg == "--png") {
            o.png_dir = v;
        } else if (arg == "--video") {
            o.video = v;
        } else if (arg == "--wav") {
            o.wav = v;
        } else if (arg == "--sheet") {
            o.sheet = v;
        } else if (arg == "--stats") {
            o.stats = v;
        } else {
            return bad_usage("unknown option '%s'", arg.c_str());
        }
    }
    if (o.to >= 0 && o.to <= o.from)
        return bad_usage("--to must lie after --from%s", "");
    if ((long)o.width * o.supersample > 16384 || (long)o.height * o.supersample > 16384)
        return bad_usage("the supersampled picture may be at most 16384 pixels a side%s", "");
    return 0;
}

static bool is_dir(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// Fails early, before minutes of rendering, when an output cannot be written.
static bool outputs_writable(const options &o)
{
    if (o.png_dir) {
        if (!is_dir(o.png_dir) && mkdir(o.png_dir, 0777) != 0) {
            fprintf(stderr, "tavio-capture: %s: cannot create the directory: %s\n", o.png_dir,
                    strerror(errno));
            return false;
        }
        if (access(o.png_dir, W_OK) != 0) {
            fprintf(stderr, "tavio-capture: %s: directory not writable: %s\n", o.png_dir,
                    strerror(errno));
            return false;
        }
    }
    const char *files[] = {o.video, o.wav, o.sheet, o.stats};
    for (const char *f : files) {
        if (!f)
            continue;
        if (is_dir(f)) {
            fprintf(stderr, "tavio-capture: %s: is a directory, not a file\n", f);
            return false;
        }
        std::string probe = std::string(f) + ".part";
        FILE *p = fopen(probe.c_str(), "wb");
        if (!p) {
            fprintf(stderr, "tavio-capture: %s: cannot write: %s\n", f, strerror(errno));
            return false;
        }
        fclose(p);
        remove(probe.c_str());
    }
    if (o.video && !ffmpeg_available()) {
        fprintf(stderr, "tavio-capture: --video needs ffmpeg, which is not installed "
                        "(apt-get install ffmpeg)\n");
        return false;
    }
    return true;
}

static volatile sig_atomic_t interrupted;

static void on_signal(int)
{
    interrupted = 1;
}

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec * 1e-6;
}

// Audio frames rendered before frame k is drawn: the sound of its whole interval.
static long long audio_frames_through(long long k, int fps)
{
    return (k + 1) * 44100 / fps;
}

static std::string frame_scenes(void)
{
    const fx_log &log = run_fx_log();
    std::string s;
    for (int i = 0; i < log.count; i++)
        s += (i ? "+" : "") + std::string(scene_names[log.scene[i]]);
    return s.empty() ? "none" : s;
}

struct scene_times {
    std::string scene;
    std::vector<double> ms;
};

static void print_summary(std::vector<scene_times> &all)
{
    printf("%-16s %8s %10s %10s %8s\n", "scene", "frames", "median ms", "p99 ms", "fps");
    for (auto &s : all) {
        std::vector<double> v = s.ms;
        std::sort(v.begin(), v.end());
        double total = 0;
        for (double x : v)
            total += x;
        size_t p99 = (size_t)ceil(0.99 * v.size()) - 1;
        printf("%-16s %8zu %10.2f %10.2f %8.1f\n", s.scene.c_str(), v.size(), v[v.size() / 2],
               v[p99], total > 0 ? 1000.0 * v.size() / total : 0.0);
    }
}

struct progress {
    bool tty = isatty(2);
    double start = now_ms(), last = 0;
};

static void show_progress(progress &p, long long frame, double pos, long long total_frames,
                          bool final)
{
    double t = now_ms();
    if (!final && t - p.last < (p.tty ? 100 : 5000))
        return;
    p.last = t;
    double rate = frame / ((t - p.start) / 1000 + 1e-9);
    double left = rate > 0 ? (total_frames - frame) / rate : 0;
    if (left < 0)
        left = 0;
    if (p.tty) {
        int filled = total_frames > 0 ? (int)(30.0 * frame / total_frames) : 0;
        filled = std::min(30, std::max(0, filled));
        fprintf(stderr, "\r[%.*s%.*s] frame %lld beat %.2f %.1f fps %d:%02d left ", filled,
                "##############################", 30 - filled,
                "------------------------------", frame, pos, rate, (int)left / 60,
                (int)left % 60);
        if (final)
            fputc('\n', stderr);
    } else {
        fprintf(stderr, "tavio-capture: frame %lld, beat %.2f, %.1f fps, %d s left\n", frame, pos,
                rate, (int)left);
    }
}

int main(int argc, char **argv)
{
    options o;
    int parsed = parse_options(argc, argv, o);
    if (parsed == 1) {
        fputs(usage, stdout);
        return 0;
    }
    if (parsed)
        return parsed;
    if (!outputs_writable(o))
        return 1;

    syna_init(44100);
    if (syna_get((char *)piisi) < 0) {
        fprintf(stderr, "tavio-capture: the embedded song cannot be parsed\n");
        return 1;
    }
    int rw = o.width * o.supersample, rh = o.height * o.supersample;
    if (offscreen_open(rw, rh) != 0) {
        fprintf(stderr, "tavio-capture: no offscreen OpenGL: %s\n", offscreen_error());
        return 1;
    }

    signal(SIGINT, on_signal);
    signal(SIGTERM, on_signal);

    wav_out wav;
    video_out video;
    std::string video_wav = o.video ? std::string(o.video) + ".part.wav" : "";
    wav_out sound_for_video;
    bool failed = false;
    if (o.wav && wav_open(wav, o.wav) != 0) {
        fprintf(stderr, "tavio-capture: %s: cannot write\n", o.wav);
        return 1;
    }
    if (o.video && (video_open(video, o.video, o.width, o.height, o.fps) != 0 ||
                    wav_open(sound_for_video, video_wav.c_str()) != 0)) {
        fprintf(stderr, "tavio-capture: %s: cannot start ffmpeg\n", o.video);
        wav_abort(wav);
        return 1;
    }
    FILE *stats = nullptr;
    std::string stats_part = o.stats ? std::string(o.stats) + ".part" : "";
    if (o.stats) {
        stats = fopen(stats_part.c_str(), "w");
        if (!stats) {
            fprintf(stderr, "tavio-capture: %s: cannot write: %s\n", o.stats, strerror(errno));
            return 1;
        }
        fprintf(stats, "frame,seconds,beat,scene,draw_ms\n");
    }

    // Start-up as the live show does it: every effect's set-up, then one run_fx before the
    // music starts. The media library's clock has always run a little by then: 1 ms.
    show_ticks_set_virtual(1);
    prepare_drawing();
    run_fx();

    const double frames_per_beat = 16.0 * syna_row_frames();
    const bool need_pixels = o.png_dir || o.video || o.sheet;
    const long long end_guess = (long long)((o.to >= 0 ? o.to : 73) * frames_per_beat * o.fps / 44100);
    std::vector<unsigned char> big(need_pixels ? (size_t)rw * rh * 3 : 0);
    std::vector<unsigned char> pixels(need_pixels ? (size_t)o.width * o.height * 3 : 0);
    std::vector<short> sound(44100 * 2 + 2);
    std::vector<scene_times> times;
    contact_sheet sheet;
    int sheet_beat = -1;
    progress prog;
    long long written = 0, k = 0;

    for (;; k++) {
        long long before = audio_frames_through(k - 1, o.fps);
        int chunk = (int)(audio_frames_through(k, o.fps) - before);
        double pos = before / frames_per_beat;  // the song position at this frame's time
        if (o.to >= 0 && pos >= o.to)
            break;
        if (interrupted)
            break;
        syna_play(sound.data(), chunk);
        show_ticks_set_virtual((unsigned)(1 + k * 1000 / o.fps));

        double t0 = now_ms();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        set_frame_projection();
        run_fx();
        glFinish();
        double draw_ms = now_ms() - t0;
        int show_beat = beat.load(std::memory_order_relaxed);
        bool last = o.to < 0 && show_beat > 72;

        if (pos >= o.from) {
            std::string scene = frame_scenes();
            auto it = std::find_if(times.begin(), times.end(),
                                   [&](const scene_times &s) { return s.scene == scene; });
            if (it == times.end())
                it = times.insert(times.end(), scene_times{scene, {}});
            it->ms.push_back(draw_ms);
            if (stats)
                fprintf(stats, "%lld,%.6f,%.4f,%s,%.3f\n", k, (double)k / o.fps, pos,
                        scene.c_str(), draw_ms);
            if (need_pixels) {
                offscreen_read_rgb(rw, rh, big.data());
                if (o.supersample > 1)
                    shrink_rgb(big.data(), rw, rh, o.supersample, pixels.data());
                else
                    pixels.swap(big);
            }
            if (o.png_dir) {
                char path[4096];
                snprintf(path, sizeof path, "%s/%06lld.png", o.png_dir, k);
                if (png_write(path, o.width, o.height, pixels.data()) != 0) {
                    fprintf(stderr, "tavio-capture: %s: cannot write: %s\n", path, strerror(errno));
                    failed = true;
                }
            }
            if (o.sheet && show_beat != sheet_beat) {
                sheet_beat = show_beat;
                sheet_add(sheet, show_beat, pixels.data(), o.width, o.height);
            }
            if (o.video && video_write(video, pixels.data(), o.width, o.height) != 0) {
                fprintf(stderr, "tavio-capture: %s: ffmpeg stopped taking frames\n", o.video);
                failed = true;
            }
            const unsigned char *bytes = (const unsigned char *)sound.data();
            if ((o.wav && wav_write(wav, bytes, chunk) != 0) ||
                (o.video && wav_write(sound_for_video, bytes, chunk) != 0)) {
                fprintf(stderr, "tavio-capture: cannot write the sound: %s\n", strerror(errno));
                failed = true;
            }
            if (need_pixels && o.supersample == 1)
                pixels.swap(big);
            written++;
        }
        show_progress(prog, k, pos, end_guess, false);
        if (failed || last)
            break;
    }
    show_progress(prog, k, k * 44100.0 / o.fps / frames_per_beat, end_guess, true);

    if (interrupted) {
        fprintf(stderr, "tavio-capture: interrupted; nothing finished is kept but the PNGs\n");
        failed = true;
    }
    if (!failed && written == 0) {
        fprintf(stderr, "tavio-capture: no frame lies in the range\n");
        failed = true;
    }
    if (stats) {
        bool ok = fclose(stats) == 0 && !failed && rename(stats_part.c_str(), o.stats) == 0;
        if (!ok)
            remove(stats_part.c_str());
    }
    if (o.wav) {
        if (failed)
            wav_abort(wav);
        else if (wav_finish(wav) != 0) {
            fprintf(stderr, "tavio-capture: %s: cannot finish the file\n", o.wav);
            failed = true;
        }
    }
    if (o.video) {
        if (failed || wav_finish(sound_for_video) != 0) {
            wav_abort(sound_for_video);
            video_abort(video);
        } else if (video_finish(video, video_wav.c_str()) != 0) {
            fprintf(stderr, "tavio-capture: %s: ffmpeg could not make the video\n", o.video);
            failed = true;
        }
        remove(video_wav.c_str());
    }
    if (o.sheet && !failed && sheet_write(sheet, o.sheet) != 0) {
        fprintf(stderr, "tavio-capture: %s: cannot write the contact sheet\n", o.sheet);
        failed = true;
    }
    offscreen_close();
    if (failed)
        return 1;
    print_summary(times);
    return 0;
}
