// The virtual devices' signals: the frame counter survives every delivered format, scaling
// and line doubling; fields are sampled apart; levels stay in the studio range; adjustments
// and crossbar inputs change the picture; the tone has its frequency, level and continuity.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "devices/signal/DeviceCaps.h"
#include "devices/signal/FrameCounter.h"
#include "devices/signal/ProcAmpTable.h"
#include "devices/signal/TestPicture.h"
#include "devices/signal/ToneGenerator.h"

namespace lumoka {
namespace {

struct Picture {
    PictureLayout layout;
    std::vector<uint8_t> bytes;
};

Picture Render(PixelFormat f, int w, int h, uint64_t frame, VideoInput input = VideoInput::kTuner,
               const PictureAdjust& adjust = {}, bool topFirst = true) {
    Picture p;
    p.layout = MakeLayout(f, w, h);
    p.bytes.assign(p.layout.ImageSize(), 0xCD);
    CTestPicture gen;
    EXPECT_TRUE(
        gen.Render(frame, input, adjust, p.layout, p.bytes.data(), p.bytes.size(), topFirst));
    return p;
}

// Luma of pixel (x, y), y counted from the top of the picture.
int Luma(const Picture& p, int x, int y) {
    const uint8_t* row = p.bytes.data() + p.layout.RowOffset(y);
    if (IsPackedYuv(p.layout.format)) return row[x * 2 + LumaOffset(p.layout.format)];
    const int bpp = p.layout.format == PixelFormat::kRGB32 ? 4 : 3;
    const uint8_t* px = row + x * bpp;
    return (px[2] * 77 + px[1] * 150 + px[0] * 29) >> 8;
}

// Bilinear resampling of an RGB32 picture to another size (what a renderer or snapshot does).
Picture ScaleRgb32(const Picture& src, int w, int h) {
    Picture dst;
    dst.layout = MakeLayout(PixelFormat::kRGB32, w, h);
    dst.bytes.assign(dst.layout.ImageSize(), 0);
    for (int y = 0; y < h; ++y) {
        const double sy = std::max(0.0, (y + 0.5) * src.layout.height / h - 0.5);
        const int y0 = std::min(static_cast<int>(sy), src.layout.height - 1);
        const int y1 = std::min(y0 + 1, src.layout.height - 1);
        const double fy = sy - y0;
        for (int x = 0; x < w; ++x) {
            const double sx = std::max(0.0, (x + 0.5) * src.layout.width / w - 0.5);
            const int x0 = std::min(static_cast<int>(sx), src.layout.width - 1);
            const int x1 = std::min(x0 + 1, src.layout.width - 1);
            const double fx = sx - x0;
            for (int c = 0; c < 4; ++c) {
                auto at = [&](int xx, int yy) {
                    return src.bytes[src.layout.RowOffset(yy) + xx * 4 + c];
                };
                const double v = (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
                                 (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
                dst.bytes[dst.layout.RowOffset(y) + x * 4 + c] = static_cast<uint8_t>(v + 0.5);
            }
        }
    }
    return dst;
}

std::optional<uint32_t> Decode(const Picture& p) {
    return DecodeFrameCounter(p.bytes.data(), p.bytes.size(), p.layout);
}

TEST(FrameCounter, RoundTripsInEveryFormatAndCaptureSize) {
    const PixelFormat formats[] = {PixelFormat::kYUY2, PixelFormat::kUYVY, PixelFormat::kHDYC,
                                   PixelFormat::kRGB24, PixelFormat::kRGB32};
    const int sizes[][2] = {{320, 240}, {640, 480}, {720, 480}, {720, 576}, {1920, 1080}};
    const uint64_t frames[] = {0, 1, 0x5A5A, 0xFFFF, 0x12345};
    for (PixelFormat f : formats) {
        for (const auto& s : sizes) {
            for (uint64_t frame : frames) {
                const Picture p = Render(f, s[0], s[1], frame);
                const auto got = Decode(p);
                ASSERT_TRUE(got.has_value()) << BitsPerPixel(f) << " " << s[0] << "x" << s[1];
                EXPECT_EQ(*got, frame & 0xFFFF);
            }
        }
    }
}

TEST(FrameCounter, CellsAreAtLeast16PixelsAtTheSmallestCaptureSize) {
    for (const VideoCapability& cap : TestCardCapabilities()) {
        EXPECT_GE(cap.minWidth / kCounterCells, 16);
        EXPECT_GE(CounterBandHeight(cap.minHeight), 16);
    }
}

TEST(FrameCounter, SurvivesScalingAndLineDoubling) {
    const Picture full = Render(PixelFormat::kRGB32, 720, 480, 4242);
    for (const auto& s : {std::pair{360, 240}, std::pair{1280, 960}, std::pair{413, 277},
                          std::pair{1920, 1080}, std::pair{200, 150}}) {
        const auto got = Decode(ScaleRgb32(full, s.first, s.second));
        ASSERT_TRUE(got.has_value()) << s.first << "x" << s.second;
        EXPECT_EQ(*got, 4242u);
    }

    // Line doubling of the first field, as the simple deinterlacer does.
    Picture yuy2 = Render(PixelFormat::kYUY2, 720, 480, 777);
    for (int y = 1; y < 480; y += 2) {
        std::memcpy(yuy2.bytes.data() + yuy2.layout.RowOffset(y),
                    yuy2.bytes.data() + yuy2.layout.RowOffset(y - 1), yuy2.layout.stride);
    }
    ASSERT_EQ(Decode(yuy2), std::optional<uint32_t>(777));
}

TEST(FrameCounter, RejectsPicturesWithoutAValidCounter) {
    Picture p = Render(PixelFormat::kRGB32, 720, 480, 6);  // lowest bit 0
    // Read in the wrong row order the band is the motion strip: no markers.
    PictureLayout flipped = p.layout;
    flipped.bottomUp = !flipped.bottomUp;
    EXPECT_FALSE(DecodeFrameCounter(p.bytes.data(), p.bytes.size(), flipped).has_value());

    // The lowest bit turned white: the parity no longer matches.
    const int band = CounterBandHeight(480);
    const int x0 = 17 * 720 / kCounterCells, x1 = 18 * 720 / kCounterCells;  // lowest bit
    for (int y = 0; y < band; ++y) {
        uint8_t* row = p.bytes.data() + p.layout.RowOffset(y);
        for (int x = x0; x < x1; ++x) std::memset(row + x * 4, 0xFF, 3);
    }
    EXPECT_FALSE(Decode(p).has_value());

    std::vector<uint8_t> black(p.layout.ImageSize(), 0);
    EXPECT_FALSE(DecodeFrameCounter(black.data(), black.size(), p.layout).has_value());
    EXPECT_FALSE(DecodeFrameCounter(black.data(), black.size() - 1, p.layout).has_value());
    EXPECT_FALSE(DecodeFrameCounter(nullptr, 0, p.layout).has_value());
}

TEST(TestPicture, FieldsAreSampledHalfAFrameApart) {
    const int w = 720, h = 480;
    const Picture p = Render(PixelFormat::kYUY2, w, h, 10);
    const int strip = MotionStripTop(h);
    // Pattern lines of both fields are equal; motion lines differ.
    EXPECT_EQ(0, std::memcmp(p.bytes.data() + p.layout.RowOffset(100),
                             p.bytes.data() + p.layout.RowOffset(101), p.layout.stride));
    EXPECT_NE(0, std::memcmp(p.bytes.data() + p.layout.RowOffset(strip + 2),
                             p.bytes.data() + p.layout.RowOffset(strip + 3), p.layout.stride));

    auto barStart = [&](const Picture& pic, int y) {
        for (int x = 0; x < w; ++x) {
            if (Luma(pic, x, y) > 128) return x;
        }
        return -1;
    };
    const int evenLine = strip + 2, oddLine = strip + 3;
    EXPECT_EQ(barStart(p, evenLine), MotionBarX(w, 20));
    EXPECT_EQ(barStart(p, oddLine), MotionBarX(w, 21));
    EXPECT_GT(barStart(p, oddLine), barStart(p, evenLine));

    // Bottom field first: the odd lines are the earlier field.
    const Picture b = Render(PixelFormat::kYUY2, w, h, 10, VideoInput::kTuner, {}, false);
    EXPECT_EQ(barStart(b, oddLine), MotionBarX(w, 20));
    EXPECT_EQ(barStart(b, evenLine), MotionBarX(w, 21));
}

TEST(TestPicture, StaysInStudioRange) {
    for (VideoInput in : {VideoInput::kTuner, VideoInput::kComposite, VideoInput::kSVideo}) {
        for (PixelFormat f : {PixelFormat::kYUY2, PixelFormat::kUYVY}) {
            const Picture p = Render(f, 720, 480, 3, in);
            int lo = 255, hi = 0, clo = 255, chi = 0;
            const int lumaOff = LumaOffset(f);
            for (int y = 0; y < 480; ++y) {
                const uint8_t* row = p.bytes.data() + p.layout.RowOffset(y);
                for (int i = 0; i < 720 * 2; ++i) {
                    if (i % 2 == lumaOff) {
                        lo = std::min<int>(lo, row[i]);
                        hi = std::max<int>(hi, row[i]);
                    } else {
                        clo = std::min<int>(clo, row[i]);
                        chi = std::max<int>(chi, row[i]);
                    }
                }
            }
            EXPECT_EQ(lo, 16);
            EXPECT_EQ(hi, 235);
            EXPECT_GE(clo, 16);
            EXPECT_LE(chi, 240);
        }
    }
}

TEST(TestPicture, EachInputHasItsOwnPattern) {
    const Picture tuner = Render(PixelFormat::kYUY2, 720, 480, 0, VideoInput::kTuner);
    const Picture comp = Render(PixelFormat::kYUY2, 720, 480, 0, VideoInput::kComposite);
    const Picture svideo = Render(PixelFormat::kYUY2, 720, 480, 0, VideoInput::kSVideo);
    const int y = 200;
    EXPECT_EQ(Luma(tuner, 10, y), 180);  // white bar first
    EXPECT_EQ(Luma(comp, 10, y), 35);    // blue bar first
    EXPECT_EQ(Luma(tuner, 710, y), 35);
    EXPECT_EQ(Luma(comp, 710, y), 180);
    // The ramp rises from left to right between the grid lines.
    EXPECT_LT(Luma(svideo, 50, y + 3), Luma(svideo, 300, y + 3));
    EXPECT_LT(Luma(svideo, 300, y + 3), Luma(svideo, 650, y + 3));
    // The three differ, while the counter band is the same.
    EXPECT_NE(tuner.bytes, comp.bytes);
    EXPECT_NE(tuner.bytes, svideo.bytes);
    EXPECT_EQ(Decode(comp), Decode(svideo));
}

TEST(TestPicture, AdjustmentsChangeThePatternButNotTheCounter) {
    const Picture plain = Render(PixelFormat::kYUY2, 720, 480, 9);
    PictureAdjust bright;
    bright.brightness = 50;
    const Picture b = Render(PixelFormat::kYUY2, 720, 480, 9, VideoInput::kTuner, bright);
    EXPECT_EQ(Luma(b, 10, 200), 230);
    EXPECT_EQ(Luma(b, 500, 200), Luma(plain, 500, 200) + 50);
    EXPECT_EQ(0, std::memcmp(b.bytes.data(), plain.bytes.data(),
                             CounterBandHeight(480) * b.layout.stride));

    PictureAdjust contrast;
    contrast.contrast = 50;
    const Picture c = Render(PixelFormat::kYUY2, 720, 480, 9, VideoInput::kTuner, contrast);
    EXPECT_EQ(Luma(c, 10, 200), 16 + (180 - 16) / 2);

    // Saturation 0 and colour disable give grey; hue 180 inverts both chroma axes.
    const uint8_t* row = plain.bytes.data() + plain.layout.RowOffset(200);
    const int x = 150 * 2;  // yellow bar, chroma pair starts at an even pixel
    for (PictureAdjust a :
         {PictureAdjust{0, 100, 0, 0, true}, PictureAdjust{0, 100, 0, 100, false}}) {
        const Picture g = Render(PixelFormat::kYUY2, 720, 480, 9, VideoInput::kTuner, a);
        const uint8_t* grow = g.bytes.data() + g.layout.RowOffset(200);
        EXPECT_EQ(grow[x + 1], 128);
        EXPECT_EQ(grow[x + 3], 128);
    }
    PictureAdjust hue;
    hue.hue = 180;
    const Picture hp = Render(PixelFormat::kYUY2, 720, 480, 9, VideoInput::kTuner, hue);
    const uint8_t* hrow = hp.bytes.data() + hp.layout.RowOffset(200);
    EXPECT_NEAR(hrow[x + 1] - 128, -(row[x + 1] - 128), 1);
    EXPECT_NEAR(hrow[x + 3] - 128, -(row[x + 3] - 128), 1);
    EXPECT_EQ(Decode(hp), std::optional<uint32_t>(9));
}

TEST(TestPicture, RgbIsBottomUpAndFullRange) {
    const Picture p = Render(PixelFormat::kRGB32, 320, 240, 0);
    // The first row in memory is the bottom (motion strip, black apart from the bar).
    const uint8_t* bottom = p.bytes.data();
    EXPECT_EQ(bottom[p.layout.stride - 4], 0);
    // The top-left counter cell is white in full range.
    const uint8_t* top = p.bytes.data() + (240 - 1) * p.layout.stride;
    EXPECT_EQ(top[0], 255);
    EXPECT_EQ(top[1], 255);
    EXPECT_EQ(top[2], 255);
    EXPECT_EQ(top[3], 255);
    // RGB24 rows are padded to four bytes.
    EXPECT_EQ(MakeLayout(PixelFormat::kRGB24, 322, 240).stride, 968u);
}

TEST(TestPicture, RefusesBadBuffersWithoutWriting) {
    CTestPicture gen;
    PictureLayout l = MakeLayout(PixelFormat::kYUY2, 320, 240);
    std::vector<uint8_t> buf(l.ImageSize() - 1, 0xAB);
    EXPECT_FALSE(gen.Render(0, VideoInput::kTuner, {}, l, buf.data(), buf.size()));
    EXPECT_TRUE(std::all_of(buf.begin(), buf.end(), [](uint8_t b) { return b == 0xAB; }));
    l.stride = 100;  // shorter than a row
    buf.assign(l.ImageSize() + 10000, 0);
    EXPECT_FALSE(gen.Render(0, VideoInput::kTuner, {}, l, buf.data(), buf.size()));
    EXPECT_FALSE(gen.Render(0, VideoInput::kTuner, {}, MakeLayout(PixelFormat::kRGB32, 0, 10),
                            buf.data(), buf.size()));
}

std::vector<int> Samples16(const std::vector<uint8_t>& b, int channels, int channel) {
    std::vector<int> out;
    for (size_t i = channel * 2; i + 1 < b.size(); i += channels * 2) {
        out.push_back(static_cast<int16_t>(b[i] | (b[i + 1] << 8)));
    }
    return out;
}

TEST(ToneGenerator, HasItsFrequencyAndLevel) {
    CToneGenerator tone(1000.0, 0.5);
    tone.SetFormat({2, 16, 48000});
    std::vector<uint8_t> buf(48000 * 4);
    ASSERT_EQ(tone.Fill(buf.data(), buf.size()), buf.size());
    const auto left = Samples16(buf, 2, 0);
    const auto right = Samples16(buf, 2, 1);
    EXPECT_EQ(left, right);
    int crossings = 0;
    for (size_t i = 1; i < left.size(); ++i) crossings += (left[i - 1] < 0) != (left[i] < 0);
    EXPECT_NEAR(crossings, 2000, 2);
    EXPECT_NEAR(*std::max_element(left.begin(), left.end()), 16384, 2);
    EXPECT_NEAR(*std::min_element(left.begin(), left.end()), -16384, 2);

    tone.SetFormat({1, 8, 8000});
    std::vector<uint8_t> b8(8000);
    ASSERT_EQ(tone.Fill(b8.data(), b8.size()), b8.size());
    EXPECT_NEAR(*std::max_element(b8.begin(), b8.end()), 128 + 64, 2);
    EXPECT_NEAR(*std::min_element(b8.begin(), b8.end()), 128 - 64, 2);
    crossings = 0;
    for (size_t i = 1; i < b8.size(); ++i) crossings += (b8[i - 1] < 128) != (b8[i] < 128);
    EXPECT_NEAR(crossings, 2000, 2);
}

TEST(ToneGenerator, IsContinuousAcrossBuffersAndWritesWholeFrames) {
    CToneGenerator whole(440.0, 0.8), pieces(440.0, 0.8);
    whole.SetFormat({2, 16, 44100});
    pieces.SetFormat({2, 16, 44100});
    std::vector<uint8_t> a(44100 * 4), b(44100 * 4, 0);
    whole.Fill(a.data(), a.size());
    size_t at = 0;
    for (size_t chunk : {4u, 1764u, 7u * 4u, 3000u * 4u}) {
        at += pieces.Fill(b.data() + at, std::min(chunk, b.size() - at));
    }
    while (at < b.size()) at += pieces.Fill(b.data() + at, std::min<size_t>(1000, b.size() - at));
    EXPECT_EQ(a, b);

    std::vector<uint8_t> odd(7, 0xEE);
    EXPECT_EQ(pieces.Fill(odd.data(), odd.size()), 4u);
    EXPECT_EQ(odd[4], 0xEE);

    PcmFormat bad{3, 16, 44100};
    pieces.SetFormat(bad);
    EXPECT_EQ(pieces.Fill(odd.data(), odd.size()), 0u);
}

TEST(DeviceCaps, FirstCapabilityIsUnusableAndTheRestAccepted) {
    const auto& caps = TestCardCapabilities();
    ASSERT_GE(caps.size(), 9u);
    EXPECT_TRUE(caps[0].headerV2);
    EXPECT_EQ(UsableIndexOf(0), -1);
    EXPECT_EQ(UsableIndexOf(1), 0);
    EXPECT_EQ(caps[8].format, PixelFormat::kRGB32);
    EXPECT_EQ(caps[8].width, 720);
    EXPECT_EQ(UsableIndexOf(8), 7);
    for (const VideoCapability& c : caps) {
        EXPECT_TRUE(AcceptsVideoRequest(c, c.width, c.height, c.defaultInterval));
        EXPECT_TRUE(AcceptsVideoRequest(c, c.minWidth, c.minHeight, c.maxInterval));
        EXPECT_FALSE(
            AcceptsVideoRequest(c, c.maxWidth + c.widthGranularity, c.height, c.defaultInterval));
        EXPECT_FALSE(AcceptsVideoRequest(c, c.minWidth + 1, c.height, c.defaultInterval));
        EXPECT_FALSE(
            AcceptsVideoRequest(c, c.width, c.minHeight - c.heightGranularity, c.defaultInterval));
        EXPECT_FALSE(AcceptsVideoRequest(c, c.width, c.height, 0));
        EXPECT_FALSE(AcceptsVideoRequest(c, c.width, c.height, c.minInterval - 1));
        EXPECT_FALSE(AcceptsVideoRequest(c, c.width, c.height, c.maxInterval + 1));
    }
    EXPECT_EQ(FindVideoCapability(PixelFormat::kRGB32, false, 640, 480, 333667), 8);
    EXPECT_EQ(FindVideoCapability(PixelFormat::kRGB32, false, 1280, 720, 166833), 9);
    EXPECT_EQ(FindVideoCapability(PixelFormat::kRGB32, false, 1920, 1080, 333667), -1);
}

TEST(DeviceCaps, AudioRequestsFollowTheRanges) {
    const AudioCapability& c = TestToneCapabilities()[0];
    for (int rate : {8000, 11025, 22050, 32000, 44100, 48000}) {
        EXPECT_TRUE(AcceptsAudioRequest(c, {2, 16, rate})) << rate;
    }
    EXPECT_TRUE(AcceptsAudioRequest(c, {1, 8, 8000}));
    EXPECT_FALSE(AcceptsAudioRequest(c, {2, 16, 44101}));
    EXPECT_FALSE(AcceptsAudioRequest(c, {2, 16, 96000}));
    EXPECT_FALSE(AcceptsAudioRequest(c, {3, 16, 48000}));
    EXPECT_FALSE(AcceptsAudioRequest(c, {2, 12, 48000}));
    EXPECT_FALSE(AcceptsAudioRequest(c, {2, 24, 48000}));
    for (const AudioCapability& a : TestToneCapabilities()) {
        EXPECT_TRUE(AcceptsAudioRequest(a, a.preferred));
    }
}

}  // namespace
}  // namespace lumoka

namespace lumoka {
namespace {

TEST(ProcAmpTable, RangesModesAndPictureEffect) {
    CProcAmpState s;
    long v = 0, f = 0;
    // Backlight compensation is not offered; numbers outside 0-9 neither.
    EXPECT_EQ(s.Get(8, &v, &f), ProcAmpResult::kUnsupported);
    EXPECT_EQ(s.Set(8, 0, kProcAmpFlagsManual), ProcAmpResult::kUnsupported);
    EXPECT_EQ(s.Set(10, 0, kProcAmpFlagsManual), ProcAmpResult::kUnsupported);
    EXPECT_FALSE(CProcAmpState::Range(-1).supported);
    // White balance offers both modes and starts automatic.
    EXPECT_EQ(CProcAmpState::Range(7).capsFlags, 3);
    ASSERT_EQ(s.Get(7, &v, &f), ProcAmpResult::kOk);
    EXPECT_EQ(f, kProcAmpFlagsAuto);
    EXPECT_EQ(s.Set(7, 5000, kProcAmpFlagsManual), ProcAmpResult::kOk);
    ASSERT_EQ(s.Get(7, &v, &f), ProcAmpResult::kOk);
    EXPECT_EQ(v, 5000);
    EXPECT_EQ(f, kProcAmpFlagsManual);
    // Brightness moves in steps of 10 and is manual only.
    EXPECT_EQ(CProcAmpState::Range(0).step, 10);
    EXPECT_EQ(s.Set(0, 15, kProcAmpFlagsManual), ProcAmpResult::kInvalidArg);
    EXPECT_EQ(s.Set(0, 110, kProcAmpFlagsManual), ProcAmpResult::kInvalidArg);
    EXPECT_EQ(s.Set(0, 20, kProcAmpFlagsAuto), ProcAmpResult::kInvalidArg);
    EXPECT_EQ(s.Set(0, 20, 3), ProcAmpResult::kInvalidArg);
    EXPECT_EQ(s.Set(0, -30, kProcAmpFlagsManual), ProcAmpResult::kOk);
    EXPECT_EQ(s.Set(1, 150, kProcAmpFlagsManual), ProcAmpResult::kOk);
    EXPECT_EQ(s.Set(2, 90, kProcAmpFlagsManual), ProcAmpResult::kOk);
    EXPECT_EQ(s.Set(3, 50, kProcAmpFlagsManual), ProcAmpResult::kOk);
    EXPECT_EQ(s.Set(6, 0, kProcAmpFlagsManual), ProcAmpResult::kOk);
    const PictureAdjust a = s.Adjust();
    EXPECT_EQ(a.brightness, -30);
    EXPECT_EQ(a.contrast, 150);
    EXPECT_EQ(a.hue, 90);
    EXPECT_EQ(a.saturation, 50);
    EXPECT_FALSE(a.colorEnable);
    // Every supported property starts at its default inside its own range.
    CProcAmpState fresh;
    for (long p = 0; p < kProcAmpProperties; ++p) {
        const ProcAmpRange r = CProcAmpState::Range(p);
        if (!r.supported) continue;
        ASSERT_EQ(fresh.Get(p, &v, &f), ProcAmpResult::kOk);
        EXPECT_EQ(v, r.defaultValue);
        EXPECT_NE(f & r.capsFlags, 0);
    }
}

}  // namespace
}  // namespace lumoka
