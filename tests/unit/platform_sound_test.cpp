#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "platform_seams.h"
#include "platform_services_support.h"
#include "tone_synthesis.h"
#include "win_sound.h"

namespace {

using platform::SynthesizeTone;

size_t RisingZeroCrossings(const std::vector<int16_t>& samples)
{
    size_t crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        crossings += samples[i - 1] < 0 && samples[i] >= 0;
    return crossings;
}

int PeakOf(const std::vector<int16_t>& samples, size_t from, size_t to)
{
    int peak = 0;
    for (size_t i = from; i < to; ++i)
        peak = std::max(peak, std::abs(int{samples[i]}));
    return peak;
}

TEST(ToneSynthesisTest, OneSecondHoldsTheFrequencyInCyclesAtEitherRate)
{
    for (unsigned rate : {44100u, 48000u}) {
        for (DWORD frequency : {37u, 440u, 1000u, 4186u, 8372u}) {
            std::vector<int16_t> tone = SynthesizeTone(frequency, 1000, rate);
            ASSERT_EQ(tone.size(), rate);
            EXPECT_NEAR(static_cast<double>(RisingZeroCrossings(tone)), frequency, 1.0)
                << frequency << " Hz at " << rate;
        }
    }
}

TEST(ToneSynthesisTest, LengthFollowsDurationAndRate)
{
    EXPECT_EQ(SynthesizeTone(440, 250, 48000).size(), 12000u);
    EXPECT_EQ(SynthesizeTone(440, 10, 44100).size(), 441u);
    EXPECT_TRUE(SynthesizeTone(440, 0, 48000).empty());
}

TEST(ToneSynthesisTest, LoudWithoutClippingAndSilentAtBothEnds)
{
    std::vector<int16_t> tone = SynthesizeTone(1000, 200, 48000);
    int middlePeak = PeakOf(tone, tone.size() / 4, tone.size() * 3 / 4);
    EXPECT_GT(middlePeak, 32767 / 3);
    EXPECT_LT(middlePeak, 32767);
    EXPECT_LT(PeakOf(tone, 0, 24), middlePeak / 4);
    EXPECT_LT(PeakOf(tone, tone.size() - 24, tone.size()), middlePeak / 4);
    EXPECT_EQ(tone.back(), 0);

    std::vector<int16_t> blip = SynthesizeTone(1000, 1, 48000);
    EXPECT_EQ(blip.front(), 0);
    EXPECT_EQ(blip.back(), 0);
}

TEST(ToneSynthesisTest, PitchTheRateCannotCarryIsSilence)
{
    std::vector<int16_t> tone = SynthesizeTone(30000, 100, 48000);
    EXPECT_EQ(tone.size(), 4800u);
    EXPECT_EQ(PeakOf(tone, 0, tone.size()), 0);
}

class BeepTest : public testing::Test {
protected:
    void TearDown() override { platform::seams::SetToneSink({}); }

    struct Tone {
        DWORD frequency;
        DWORD durationMs;
    };
    void RecordTones()
    {
        platform::seams::SetToneSink([this](DWORD frequency, DWORD durationMs) {
            tones.push_back({frequency, durationMs});
        });
    }
    std::vector<Tone> tones;
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(BeepTest, RecordedToneNeitherPlaysNorWaits)
{
    RecordTones();
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Beep(8372, 5000));
    EXPECT_LT(SecondsSince(start), 1.0);
    ASSERT_EQ(tones.size(), 1u);
    EXPECT_EQ(tones[0].frequency, 8372u);
    EXPECT_EQ(tones[0].durationMs, 5000u);
}

TEST_F(BeepTest, FrequencyOutsideTheAudibleRangeIsRefused)
{
    RecordTones();
    EXPECT_FALSE(Beep(36, 100));
    EXPECT_FALSE(Beep(32768, 100));
    EXPECT_TRUE(tones.empty());
}

// On a machine without a sound card this takes the silent path.
TEST_F(BeepTest, LastsTheToneLengthAndKeepsStandardErrorQuiet)
{
    TemporaryDirectory scratch;
    std::string captured = scratch / "stderr";
    int savedStderr = dup(STDERR_FILENO);
    FILE* capture = std::fopen(captured.c_str(), "w");
    dup2(fileno(capture), STDERR_FILENO);

    auto start = std::chrono::steady_clock::now();
    Beep(440, 150);
    double elapsed = SecondsSince(start);

    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
    std::fclose(capture);
    EXPECT_GE(elapsed, 0.150);
    EXPECT_LT(elapsed, 2.0);
    EXPECT_EQ(std::filesystem::file_size(captured), 0u);
}

}  // namespace
