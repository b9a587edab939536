// PNG files of 8-bit RGB pictures: written by the capture tool, read back by tests.
#include "shell/png.h"

#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include <string>

static void put_u32(std::vector<unsigned char> &out, unsigned v)
{
    out.push_back((unsigned char)(v >> 24));
    out.push_back((unsigned char)(v >> 16));
    out.push_back((unsigned char)(v >> 8));
    out.push_back((unsigned char)v);
}

static void put_chunk(std::vector<unsigned char> &out, const char *type,
                      const unsigned char *data, size_t size)
{
    put_u32(out, (unsigned)size);
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    put_u32(out, (unsigned)crc32(0, out.data() + start, (uInt)(size + 4)));
}

int png_write(const char *path, int width, int height, const unsigned char *rgb)
{
    if (width <= 0 || height <= 0)
        return -1;
    size_t row = (size_t)width * 3;
    // Each row starts with filter type 1 (difference to the left): small files for flat pictures.
    std::vector<unsigned char> raw((row + 1) * height);
    for (int y = 0; y < height; y++) {
        unsigned char *dst = &raw[(row + 1) * y];
        const unsigned char *src = rgb + row * y;
        dst[0] = 1;
        for (size_t i = 0; i < row; i++)
            dst[1 + i] = (unsigned char)(src[i] - (i >= 3 ? src[i - 3] : 0));
    }
    uLongf packed_size = compressBound((uLong)raw.size());
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), (uLong)raw.size(), 6) != Z_OK)
        return -1;

    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<unsigned char> header;
    put_u32(header, (unsigned)width);
    put_u32(header, (unsigned)height);
    const unsigned char rest[] = {8, 2, 0, 0, 0};  // 8 bits, RGB, deflate, no interlace
    header.insert(header.end(), rest, rest + 5);
    put_chunk(file, "IHDR", header.data(), header.size());
    put_chunk(file, "IDAT", packed.data(), packed_size);
    put_chunk(file, "IEND", nullptr, 0);

    std::string tmp = std::string(path) + ".part";
    FILE *f = fopen(tmp.c_str(), "wb");
    if (!f)
        return -1;
    bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok || rename(tmp.c_str(), path) != 0) {
        remove(tmp.c_str());
        return -1;
    }
    return 0;
}

static unsigned get_u32(const unsigned char *p)
{
    return (unsigned)p[0] << 24 | (unsigned)p[1] << 16 | (unsigned)p[2] << 8 | p[3];
}

static int paeth(int a, int b, int c)
{
    int p = a + b - c, pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p,
        pc = p > c ? p - c : c - p;
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

int png_read(const char *path, int *width, int *height, std::vector<unsigned char> &rgb)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return -1;
    std::vector<unsigned char> file;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        file.insert(file.end(), buf, buf + n);
    fclose(f);
    if (file.size() < 8 + 25 || memcmp(file.data(), "\x89PNG\r\n\x1a\n", 8) != 0)
        return -1;

    unsigned w = 0, h = 0, channels = 0;
    std::vector<unsigned char> packed;
    for (size_t pos = 8; pos + 12 <= file.size();) {
        unsigned size = get_u32(&file[pos]);
        if (size > file.size() - pos - 12)
            return -1;
        const unsigned char *type = &file[pos + 4], *data = &file[pos + 8];
        if (memcmp(type, "IHDR", 4) == 0 && size >= 13) {
            w = get_u32(data);
            h = get_u32(data + 4);
            if (data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[12] != 0)
                return -1;
            channels = data[9] == 2 ? 3 : 4;
        } else if (memcmp(type, "IDAT", 4) == 0) {
            packed.insert(packed.end(), data, data + size);
        }
        pos += 12 + size;
    }
    if (w == 0 || h == 0 || w > 16384 || h > 16384)
        return -1;

    size_t stride = (size_t)w * channels;
    std::vector<unsigned char> raw((stride + 1) * h);
    uLongf raw_size = (uLongf)raw.size();
    if (uncompress(raw.data(), &raw_size, packed.data(), (uLong)packed.size()) != Z_OK ||
        raw_size != raw.size())
        return -1;

    std::vector<unsigned char> pixels(stride * h);
    for (unsigned y = 0; y < h; y++) {
        unsigned filter = raw[(stride + 1) * y];
        const unsigned char *src = &raw[(stride + 1) * y + 1];
        unsigned char *dst = &pixels[stride * y];
        const unsigned char *up = y ? dst - stride : nullptr;
        for (size_t i = 0; i < stride; i++) {
            int a = i >= channels ? dst[i - channels] : 0, b = up ? up[i] : 0,
                c = (up && i >= channels) ? up[i - channels] : 0;
            int pred = filter == 0 ? 0 : filter == 1 ? a : filter == 2 ? b
                     : filter == 3 ? (a + b) / 2 : filter == 4 ? paeth(a, b, c) : -1;
            if (pred < 0)
                return -1;
            dst[i] = (unsigned char)(src[i] + pred);
        }
    }
    rgb.resize((size_t)w * h * 3);
    for (size_t i = 0; i < (size_t)w * h; i++)
        memcpy(&rgb[i * 3], &pixels[i * channels], 3);
    *width = (int)w;
    *height = (int)h;
    return 0;
}
