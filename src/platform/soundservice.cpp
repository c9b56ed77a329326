#include "soundservice.h"

#include "volumeprobe.h"

#include <QFile>
#include <QFileInfo>

#include <alsa/asoundlib.h>
#include <sndfile.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Beyond its own length a sound gets this long before the device counts as stuck.
constexpr auto DeadlineSlack = std::chrono::seconds(3);
constexpr auto DrainPoll = std::chrono::milliseconds(10);
constexpr int WaitMs = 100;
constexpr unsigned LatencyUs = 100000;
constexpr sf_count_t ChunkFrames = 4096;

QString& deviceName()
{
    static QString name = QStringLiteral("default");
    return name;
}

// ALSA prints its complaints ("cannot find card '0'") to stderr; a missing
// device is reported to the caller instead.
void silentAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

void silenceAlsa()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(silentAlsaError); });
}

class SoundFile {
public:
    explicit SoundFile(const QString& path)
    {
        m_handle = sf_open(QFile::encodeName(path).constData(), SFM_READ, &m_info);
        if (m_handle)
            m_buffer.resize(std::size_t(ChunkFrames) * std::size_t(qMax(m_info.channels, 1)));
    }
    ~SoundFile()
    {
        if (m_handle)
            sf_close(m_handle);
    }
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    bool usable() const { return m_handle && m_info.channels > 0 && m_info.samplerate > 0 && m_info.frames >= 0; }
    int channels() const { return m_info.channels; }
    int rate() const { return m_info.samplerate; }
    sf_count_t frames() const { return m_info.frames; }

    // The next chunk as interleaved 16-bit samples; 0 frames at the end.
    sf_count_t read() { return sf_readf_short(m_handle, m_buffer.data(), ChunkFrames); }
    const short* samples() const { return m_buffer.data(); }
    bool failed() const { return sf_error(m_handle) != SF_ERR_NO_ERROR; }

private:
    SNDFILE* m_handle = nullptr;
    SF_INFO m_info {};
    std::vector<short> m_buffer;
};

class Pcm {
public:
    ~Pcm()
    {
        if (m_handle)
            snd_pcm_close(m_handle);
    }
    bool open(const QString& device, int channels, int rate)
    {
        silenceAlsa();
        if (snd_pcm_open(&m_handle, device.toUtf8().constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            m_handle = nullptr;
            return false;
        }
        return snd_pcm_set_params(m_handle, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(channels),
                   unsigned(rate), 1, LatencyUs)
            == 0;
    }
    snd_pcm_t* handle() const { return m_handle; }

private:
    snd_pcm_t* m_handle = nullptr;
};

bool appendToLog(const QString& logPath, const QString& soundPath)
{
    QFile log(logPath);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray line = QFile::encodeName(QFileInfo(soundPath).absoluteFilePath()) + '\n';
    return log.write(line) == line.size();
}

SoundService::Result logInsteadOfPlaying(SoundFile& file, const QString& logPath, const QString& soundPath)
{
    while (file.read() > 0) { }
    if (file.failed())
        return SoundService::NotDecodable;
    return appendToLog(logPath, soundPath) ? SoundService::Played : SoundService::DeviceFailed;
}

SoundService::Result playOnDevice(SoundFile& file)
{
    if (file.frames() == 0)
        return SoundService::Played;
    Pcm pcm;
    if (!pcm.open(deviceName(), file.channels(), file.rate()))
        return SoundService::NoDevice;
    snd_pcm_t* h = pcm.handle();

    const auto length = std::chrono::microseconds(file.frames() * 1000000 / file.rate());
    const auto deadline = SteadyClock::now() + length + DeadlineSlack;
    const auto giveUp = [h] {
        snd_pcm_drop(h);
        return SoundService::TimedOut;
    };

    sf_count_t got;
    while ((got = file.read()) > 0) {
        sf_count_t done = 0;
        while (done < got) {
            if (SteadyClock::now() > deadline)
                return giveUp();
            const snd_pcm_sframes_t n
                = snd_pcm_writei(h, file.samples() + done * file.channels(), snd_pcm_uframes_t(got - done));
            if (n == -EAGAIN)
                snd_pcm_wait(h, WaitMs);
            else if (n < 0) {
                if (snd_pcm_recover(h, int(n), 1) < 0)
                    return SoundService::DeviceFailed;
            } else
                done += n;
        }
    }
    const bool broken = file.failed();

    // A non-blocking drain only starts draining; its end is seen in the state.
    const int err = snd_pcm_drain(h);
    if (err < 0 && err != -EAGAIN && err != -EPIPE)
        return SoundService::DeviceFailed;
    while (snd_pcm_state(h) == SND_PCM_STATE_DRAINING) {
        if (SteadyClock::now() > deadline)
            return giveUp();
        std::this_thread::sleep_for(DrainPoll);
    }
    return broken ? SoundService::NotDecodable : SoundService::Played;
}

} // namespace

SoundService::Result SoundService::play(const QString& path)
{
    // A file on a share that does not answer counts as missing.
    if (!VolumeProbe::IsFile(path))
        return FileNotFound;
    SoundFile file(path);
    if (!file.usable())
        return NotDecodable;
    const QString logPath = qEnvironmentVariable("KORVEL_SOUND_LOG");
    if (!logPath.isEmpty())
        return logInsteadOfPlaying(file, logPath, path);
    return playOnDevice(file);
}

QString SoundService::device()
{
    return deviceName();
}

void SoundService::setDevice(const QString& alsaName)
{
    deviceName() = alsaName;
}
