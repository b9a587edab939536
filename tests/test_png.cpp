// PNG files: a picture survives a write and a read, and a failed write leaves nothing.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include "shell/png.h"

TEST(Png, RoundTripAndFailedWrite)
{
    const int w = 37, h = 11;
    std::vector<unsigned char> rgb(w * h * 3);
    for (size_t i = 0; i < rgb.size(); i++)
        rgb[i] = (unsigned char)(i * 7 + i / 5);
    char path[] = "/tmp/tavio-png-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(png_write(path, w, h, rgb.data()), 0);
    int rw = 0, rh = 0;
    std::vector<unsigned char> back;
    ASSERT_EQ(png_read(path, &rw, &rh, back), 0);
    EXPECT_EQ(rw, w);
    EXPECT_EQ(rh, h);
    EXPECT_EQ(back, rgb);
    remove(path);

    EXPECT_EQ(png_write("/nonexistent-dir/x.png", w, h, rgb.data()), -1);
    EXPECT_EQ(png_read("/nonexistent-dir/x.png", &rw, &rh, back), -1);
}
