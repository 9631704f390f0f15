// The first-profile script writes a Profile.ini the program reads as profile 0 opening the
// test card in RGB32 720 x 480: ASCII, CR LF line ends, and a format index that counts only
// the usable capabilities.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "devices/DeviceNames.h"
#include "devices/signal/DeviceCaps.h"

namespace lumoka {
namespace {

std::string RunScript(const std::string& out) {
    std::remove(out.c_str());
    const std::string cmd = "bash '" LUMOKA_SOURCE_DIR "/scripts/first-profile.sh' '" + out + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream in(out, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(FirstProfile, NamesTheTestCardInRgb32) {
    const std::string path = ::testing::TempDir() + "first_profile_test.ini";
    const std::string text = RunScript(path);
    ASSERT_FALSE(text.empty());
    for (size_t i = 0; i < text.size(); ++i) {
        ASSERT_LT(static_cast<unsigned char>(text[i]), 0x80u) << "non-ASCII at " << i;
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
    }

    std::map<std::string, std::string> keys;  // "section/key" -> value
    std::string section, line;
    std::istringstream lines(text);
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t eq = line.find('=');
        ASSERT_NE(eq, std::string::npos) << line;
        keys[section + "/" + line.substr(0, eq)] = line.substr(eq + 1);
    }
    EXPECT_EQ(keys["Common/FileVersion"], "4");
    EXPECT_EQ(keys["Profile/Selected"], "0");
    EXPECT_EQ(keys["Profile/LastTab"], "0");
    EXPECT_EQ(keys["Profile:00/Video.FriendlyName"], devicenames::kTestCard);
    EXPECT_EQ(keys["Profile:00/Video.DevicePath"], devicenames::kTestCardPath0);
    EXPECT_EQ(keys["Profile:00/Video.Description"], devicenames::kTestCardDescription);

    // The index must name RGB32 720 x 480 among the usable capabilities, with values the card
    // accepts.
    const int usable = std::stoi(keys["Profile:00/Video.Format.Index"]);
    const auto& caps = TestCardCapabilities();
    int found = -1;
    for (size_t i = 0; i < caps.size(); ++i) {
        if (UsableIndexOf(static_cast<int>(i)) == usable) found = static_cast<int>(i);
    }
    ASSERT_GE(found, 0);
    const VideoCapability& cap = caps[found];
    EXPECT_EQ(cap.format, PixelFormat::kRGB32);
    EXPECT_EQ(cap.width, 720);
    EXPECT_EQ(cap.height, 480);
    const int w = std::stoi(keys["Profile:00/Video.Format.Width"]);
    const int h = std::stoi(keys["Profile:00/Video.Format.Height"]);
    const long long t = std::stoll(keys["Profile:00/Video.Format.AvgTimePerFrame"]);
    EXPECT_EQ(w, 720);
    EXPECT_EQ(h, 480);
    EXPECT_TRUE(AcceptsVideoRequest(cap, w, h, t));
    std::remove(path.c_str());
}

}  // namespace
}  // namespace lumoka
