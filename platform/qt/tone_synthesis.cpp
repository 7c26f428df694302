#include "tone_synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {
namespace {

// Half of full scale: loud enough to hear, far from clipping after resampling.
constexpr double kAmplitude = 0.5 * 32767.0;
constexpr unsigned kFadeMs = 5;

size_t SampleCount(DWORD durationMs, unsigned sampleRate)
{
    return static_cast<size_t>(static_cast<uint64_t>(durationMs) * sampleRate / 1000);
}

// Linear ramp over the first and last fade samples; a short tone fades over
// half its length each way.
double Envelope(size_t index, size_t count, size_t fade)
{
    size_t fromEdge = std::min(index, count - 1 - index);
    return fromEdge >= fade ? 1.0 : static_cast<double>(fromEdge) / static_cast<double>(fade);
}

}  // namespace

std::vector<int16_t> SynthesizeTone(DWORD frequency, DWORD durationMs, unsigned sampleRate)
{
    std::vector<int16_t> samples(SampleCount(durationMs, sampleRate), 0);
    if (samples.empty() || 2ull * frequency >= sampleRate)
        return samples;
    size_t fade = std::max<size_t>(1, std::min(SampleCount(kFadeMs, sampleRate), samples.size() / 2));
    double step = 2.0 * std::numbers::pi * frequency / sampleRate;
    for (size_t i = 0; i < samples.size(); ++i) {
        double value = kAmplitude * Envelope(i, samples.size(), fade) * std::sin(step * static_cast<double>(i));
        samples[i] = static_cast<int16_t>(std::lround(value));
    }
    return samples;
}

}  // namespace platform
