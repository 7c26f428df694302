#include "win_sound.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "seams_internal.h"
#include "tone_synthesis.h"

namespace {

constexpr unsigned kSampleRate = 48000;
constexpr unsigned kDeviceLatencyUs = 100000;
constexpr DWORD kLowestFrequency = 37;
constexpr DWORD kHighestFrequency = 32767;

// The library reports every missing device on standard error; without a
// sound card that is noise on every beep.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsaErrors()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}

snd_pcm_t* OpenPlayback()
{
    SilenceAlsaErrors();
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return nullptr;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kSampleRate, 1,
                           kDeviceLatencyUs) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return pcm;
}

bool WriteAll(snd_pcm_t* pcm, const std::vector<int16_t>& samples)
{
    size_t written = 0;
    while (written < samples.size()) {
        snd_pcm_sframes_t count = snd_pcm_writei(pcm, samples.data() + written, samples.size() - written);
        if (count < 0 && snd_pcm_recover(pcm, static_cast<int>(count), 1) < 0)
            return false;
        if (count > 0)
            written += static_cast<size_t>(count);
    }
    return true;
}

bool Play(const std::vector<int16_t>& samples)
{
    snd_pcm_t* pcm = OpenPlayback();
    if (!pcm)
        return false;
    bool played = WriteAll(pcm, samples) && snd_pcm_drain(pcm) == 0;
    snd_pcm_close(pcm);
    return played;
}

}  // namespace

BOOL Beep(DWORD frequency, DWORD duration)
{
    if (frequency < kLowestFrequency || frequency > kHighestFrequency)
        return FALSE;
    if (const auto& sink = platform::seams::CurrentToneSink()) {
        sink(frequency, duration);
        return TRUE;
    }
    // Callers pace on the beep, so it lasts its length even when nothing sounds.
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(duration);
    bool played = Play(platform::SynthesizeTone(frequency, duration, kSampleRate));
    std::this_thread::sleep_until(end);
    return played ? TRUE : FALSE;
}
