// The show's command line, as tables of argument vectors: what they give, and the sizes refused.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "shell/cmdline.h"

namespace {

struct cmdline_case {
    std::vector<std::string> argv;  // argv[0] is the program's name
    int width, height, fullscreen, fsaa;
};

const cmdline_case cases[] = {
    {{"tavio"}, 1024, 768, 1, 1},
    {{"tavio", "-w"}, 1024, 768, 0, 1},
    {{"tavio", "-w", "-w"}, 1024, 768, 1, 1},
    {{"taviow"}, 1024, 768, 0, 1},
    {{"/usr/bin/taviow", "-w"}, 1024, 768, 1, 1},
    {{"tavio", "-w", "800", "600"}, 800, 600, 0, 1},
    {{"tavio", "800", "600"}, 800, 600, 1, 1},
    {{"tavio", "800"}, 1024, 768, 1, 1},
    {{"tavio", "800", "600", "-a"}, 600, 0, 1, 0},  // the last two arguments, whatever they are
    {{"tavio", "-a"}, 1024, 768, 1, 0},
    {{"tavio", "-wx"}, 1024, 768, 1, 1},            // not options, and not counted:
    {{"tavio", "-W", "-aa"}, 0, 0, 1, 1},           // so the last two read as a size
    {{"tavio", "-a", "-w", "640", "480"}, 640, 480, 0, 0},
    {{"tavio", "wide", "tall"}, 0, 0, 1, 1},
    {{""}, 1024, 768, 1, 1},
};

struct size_case {
    std::vector<std::string> argv;
    bool refused;
};

// Window sizes the show refuses before it opens anything, and those it asks for.
const size_case size_cases[] = {
    {{"tavio"}, false},
    {{"tavio", "1", "1"}, false},
    {{"tavio", "16384", "16384"}, false},
    {{"tavio", "-w", "640x", "480abc"}, false},  // digits up to anything else, as atoi reads them
    {{"tavio", "0", "480"}, true},
    {{"tavio", "640", "0"}, true},
    {{"tavio", "-640", "480"}, true},
    {{"tavio", "640", "-480"}, true},
    {{"tavio", "16385", "480"}, true},
    {{"tavio", "640", "16385"}, true},
    {{"tavio", "99999999999999999999", "480"}, true},   // beyond int: no overflow, refused
    {{"tavio", "640", "-99999999999999999999"}, true},
    {{"tavio", "800", "600", "-a"}, true},  // the last two arguments: 600 x 0
    {{"tavio", "-W", "-aa"}, true},
    {{"tavio", "wide", "tall"}, true},
};

std::string label_of(const std::vector<std::string> &args)
{
    std::string label;
    for (auto &a : args)
        label += "'" + a + "' ";
    return label;
}

cmdline parse(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    return parse_cmdline((int)args.size(), argv.data());
}

}  // namespace

TEST(Cmdline, TableOfArgumentVectors)
{
    for (const auto &c : cases) {
        std::string label = label_of(c.argv);
        cmdline cl = parse(c.argv);
        EXPECT_EQ(cl.width, c.width) << label;
        EXPECT_EQ(cl.height, c.height) << label;
        EXPECT_EQ(cl.fullscreen, c.fullscreen) << label;
        EXPECT_EQ(cl.fsaa, c.fsaa) << label;
        EXPECT_EQ(cl.help, 0) << label;
    }
    EXPECT_EQ(parse({"tavio", "--help"}).help, 1);
}

TEST(Cmdline, AntialiasingRequestLeavesAUserValueAlone)
{
    unsetenv("__GL_FSAA_MODE");
    request_fsaa(parse({"tavio", "-a"}));
    EXPECT_EQ(getenv("__GL_FSAA_MODE"), nullptr);

    request_fsaa(parse({"tavio"}));
    ASSERT_NE(getenv("__GL_FSAA_MODE"), nullptr);
    EXPECT_STREQ(getenv("__GL_FSAA_MODE"), "4");

    setenv("__GL_FSAA_MODE", "0", 1);
    request_fsaa(parse({"tavio"}));
    EXPECT_STREQ(getenv("__GL_FSAA_MODE"), "0");
    unsetenv("__GL_FSAA_MODE");
}

TEST(Cmdline, SizesOutsideOneTo16384AreRefusedWithTheSizeNamed)
{
    for (const auto &c : size_cases) {
        std::string label = label_of(c.argv);
        cmdline cl = parse(c.argv);
        const char *why = cmdline_size_problem(cl);
        EXPECT_EQ(why != nullptr, c.refused) << label << (why ? why : "");
        if (why) {
            std::string size = std::to_string(cl.width) + "x" + std::to_string(cl.height);
            EXPECT_NE(std::string(why).find(size), std::string::npos) << why;
            EXPECT_EQ(std::string(why).find('\n'), std::string::npos) << why;
        }
    }
}

TEST(Cmdline, NumbersBeyondIntSaturate)
{
    EXPECT_EQ(parse({"tavio", "99999999999999999999", "480"}).width, 2147483647);
    EXPECT_EQ(parse({"tavio", "640", "-99999999999999999999"}).height, -2147483647 - 1);
}
