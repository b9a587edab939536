// The capture's outputs: WAV files, an H.264/AAC video through ffmpeg, and the contact sheet.
#include "media.h"

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/png.h"

static void put_le(unsigned char *p, unsigned v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        p[i] = (unsigned char)(v >> (8 * i));
}

static void wav_header(unsigned char h[44], unsigned frames)
{
    unsigned data = frames * 4;
    memcpy(h, "RIFF", 4);
    put_le(h + 4, 36 + data, 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    put_le(h + 16, 16, 4);         // format chunk size
    put_le(h + 20, 1, 2);          // PCM
    put_le(h + 22, 2, 2);          // channels
    put_le(h + 24, 44100, 4);      // frames per second
    put_le(h + 28, 44100 * 4, 4);  // bytes per second
    put_le(h + 32, 4, 2);          // bytes per frame
    put_le(h + 34, 16, 2);         // bits per sample
    memcpy(h + 36, "data", 4);
    put_le(h + 40, data, 4);
}

int wav_open(wav_out &w, const char *path)
{
    w.path = path;
    w.frames = 0;
    w.file = fopen((w.path + ".part").c_str(), "wb");
    if (!w.file)
        return -1;
    unsigned char h[44];
    wav_header(h, 0);
    return fwrite(h, 1, 44, w.file) == 44 ? 0 : -1;
}

int wav_write(wav_out &w, const unsigned char *big_endian, int frames)
{
    unsigned char buf[4096];
    for (int done = 0; done < frames;) {
        int n = frames - done < 1024 ? frames - done : 1024;
        const unsigned char *src = big_endian + (size_t)done * 4;
        for (int i = 0; i < n * 2; i++) {
            buf[2 * i] = src[2 * i + 1];
            buf[2 * i + 1] = src[2 * i];
        }
        if (fwrite(buf, 4, (size_t)n, w.file) != (size_t)n)
            return -1;
        done += n;
    }
    w.frames += (unsigned)frames;
    return 0;
}

int wav_finish(wav_out &w)
{
    unsigned char h[44];
    wav_header(h, w.frames);
    bool ok = fseek(w.file, 0, SEEK_SET) == 0 && fwrite(h, 1, 44, w.file) == 44;
    ok = fclose(w.file) == 0 && ok;
    w.file = nullptr;
    if (!ok || rename((w.path + ".part").c_str(), w.path.c_str()) != 0) {
        remove((w.path + ".part").c_str());
        return -1;
    }
    return 0;
}

void wav_abort(wav_out &w)
{
    if (w.file)
        fclose(w.file);
    w.file = nullptr;
    if (!w.path.empty())
        remove((w.path + ".part").c_str());
}

bool ffmpeg_available(void)
{
    const char *path = getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/ffmpeg";
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Quotes a path for the shell.
static std::string quoted(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

int video_open(video_out &v, const char *path, int width, int height, int fps)
{
    v.path = path;
    v.stream_path = v.path + ".part.mkv";
    char cmd[4096];
    snprintf(cmd, sizeof cmd,
             "ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgb24 -s %dx%d -r %d -i - "
             "-c:v libx264 -pix_fmt yuv420p -crf 20 -preset veryfast %s",
             width, height, fps, quoted(v.stream_path).c_str());
    v.pipe = popen(cmd, "w");
    return v.pipe ? 0 : -1;
}

int video_write(video_out &v, const unsigned char *rgb, int width, int height)
{
    size_t n = (size_t)width * height * 3;
    return fwrite(rgb, 1, n, v.pipe) == n ? 0 : -1;
}

int video_finish(video_out &v, const char *wav_path)
{
    int status = pclose(v.pipe);
    v.pipe = nullptr;
    if (status != 0) {
        video_abort(v);
        return -1;
    }
    std::string part = v.path + ".part.mp4";
    std::string cmd = "ffmpeg -loglevel error -y -i " + quoted(v.stream_path) + " -i " +
                      quoted(wav_path) + " -c:v copy -c:a aac -b:a 192k -shortest " +
                      quoted(part);
    bool ok = system(cmd.c_str()) == 0 && rename(part.c_str(), v.path.c_str()) == 0;
    remove(part.c_str());
    remove(v.stream_path.c_str());
    return ok ? 0 : -1;
}

void video_abort(video_out &v)
{
    if (v.pipe)
        pclose(v.pipe);
    v.pipe = nullptr;
    if (!v.stream_path.empty())
        remove(v.stream_path.c_str());
}

void shrink_rgb(const unsigned char *src, int width, int height, int factor, unsigned char *dst)
{
    int w = width / factor, h = height / factor, area = factor * factor;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int dy = 0; dy < factor; dy++) {
                    const unsigned char *row = src + ((size_t)(y * factor + dy) * width + x * factor) * 3;
                    for (int dx = 0; dx < factor; dx++)
                        sum += row[dx * 3 + c];
                }
                dst[((size_t)y * w + x) * 3 + c] = (unsigned char)((sum + area / 2) / area);
            }
}

// Thumbnails are scaled to this width with a plain box average of the nearest pixels.
enum { THUMB_W = 192 };

// Digits 0-9 as 3x5 pictures, one row per 3 bits, top row first.
static const unsigned short digit_rows[10] = {
    075557, 026227, 071747, 071717, 055711, 074717, 074757, 071111, 075757, 075717,
};

static void draw_label(std::vector<unsigned char> &img, int w, int h, int number)
{
    char text[16];
    int n = snprintf(text, sizeof text, "%d", number);
    const int px = 3;                      // pixels per font dot
    int box_w = n * 4 * px + px, box_h = 7 * px;
    for (int y = 0; y < box_h && y < h; y++)
        for (int x = 0; x < box_w && x < w; x++)
            memset(&img[((size_t)y * w + x) * 3], 0, 3);
    for (int i = 0; i < n; i++) {
        unsigned bits = digit_rows[text[i] - '0'];
        for (int r = 0; r < 5; r++)
            for (int c = 0; c < 3; c++) {
                if (!((bits >> ((4 - r) * 3 + (2 - c))) & 1))
                    continue;
                for (int dy = 0; dy < px; dy++)
                    for (int dx = 0; dx < px; dx++) {
                        int x = px + i * 4 * px + c * px + dx, y = px + r * px + dy;
                        if (x < w && y < h)
                            memset(&img[((size_t)y * w + x) * 3], 255, 3);
                    }
            }
    }
}

void sheet_add(contact_sheet &s, int beat, const unsigned char *rgb, int width, int height)
{
    if (s.thumb_w == 0) {
        s.thumb_w = width < THUMB_W ? width : THUMB_W;
        s.thumb_h = height * s.thumb_w / width;
    }
    std::vector<unsigned char> thumb((size_t)s.thumb_w * s.thumb_h * 3);
    for (int y = 0; y < s.thumb_h; y++)
        for (int x = 0; x < s.thumb_w; x++) {
            int x0 = x * width / s.thumb_w, x1 = (x + 1) * width / s.thumb_w;
            int y0 = y * height / s.thumb_h, y1 = (y + 1) * height / s.thumb_h;
            if (x1 <= x0) x1 = x0 + 1;
            if (y1 <= y0) y1 = y0 + 1;
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int yy = y0; yy < y1; yy++)
                    for (int xx = x0; xx < x1; xx++)
                        sum += rgb[((size_t)yy * width + xx) * 3 + c];
                thumb[((size_t)y * s.thumb_w + x) * 3 + c] =
                    (unsigned char)(sum / ((x1 - x0) * (y1 - y0)));
            }
        }
    draw_label(thumb, s.thumb_w, s.thumb_h, beat);
    s.beats.push_back(beat);
    s.thumbs.push_back(std::move(thumb));
}

int sheet_write(const contact_sheet &s, const char *path)
{
    if (s.thumbs.empty())
        return -1;
    const int gap = 4;
    int count = (int)s.thumbs.size();
    int cols = count < s.columns ? count : s.columns, rows = (count + cols - 1) / cols;
    int w = cols * (s.thumb_w + gap) + gap, h = rows * (s.thumb_h + gap) + gap;
    std::vector<unsigned char> sheet((size_t)w * h * 3, 40);
    for (int i = 0; i < count; i++) {
        int ox = gap + (i % cols) * (s.thumb_w + gap), oy = gap + (i / cols) * (s.thumb_h + gap);
        for (int y = 0; y < s.thumb_h; y++)
            memcpy(&sheet[((size_t)(oy + y) * w + ox) * 3], &s.thumbs[i][(size_t)y * s.thumb_w * 3],
                   (size_t)s.thumb_w * 3);
    }
    return png_write(path, w, h, sheet.data());
}
