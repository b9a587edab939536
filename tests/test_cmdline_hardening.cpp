// Window sizes the show refuses before it opens anything, and those it asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/cmdline.h"

namespace {

struct size_case {
    std::vector<std::string> argv;
    bool refused;
};

const size_case cases[] = {
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

cmdline parse(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    return parse_cmdline((int)args.size(), argv.data());
}

}  // namespace

TEST(CmdlineHardening, SizesOutsideOneTo16384AreRefusedWithTheSizeNamed)
{
    for (const auto &c : cases) {
        std::string label;
        for (auto &a : c.argv)
            label += "'" + a + "' ";
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

TEST(CmdlineHardening, NumbersBeyondIntSaturate)
{
    EXPECT_EQ(parse({"tavio", "99999999999999999999", "480"}).width, 2147483647);
    EXPECT_EQ(parse({"tavio", "640", "-99999999999999999999"}).height, -2147483647 - 1);
}
