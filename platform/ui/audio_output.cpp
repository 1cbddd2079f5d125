#include "platform/ui/audio_output.h"

#include <cstdio>
#include <cstring>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QtGlobal>

namespace platform {
namespace {

uint32_t Le32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Le16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// The toolkit's own line when no sound server answers names a library, not
// the cause; the program says it in words instead, once.
QtMessageHandler g_nextHandler = nullptr;

void DropSoundServerNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("PulseAudioService:")))
        return;
    if (g_nextHandler)
        g_nextHandler(type, context, message);
}

void SayThereIsNoSound()
{
    static bool said = false;
    if (said)
        return;
    said = true;
    std::fprintf(stderr, "%s\n", kNoSoundNotice);
}

}  // namespace

std::optional<WaveFormat> ParseWave(const unsigned char* bytes, size_t size)
{
    if (!bytes || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return std::nullopt;
    // The RIFF size may claim less than the resource holds, never more; it
    // counts the "WAVE" tag, so below 4 the image ends before its own tag.
    const size_t riffEnd = static_cast<size_t>(Le32(bytes + 4)) + 8;
    if (riffEnd < 12)
        return std::nullopt;
    const size_t end = riffEnd < size ? riffEnd : size;
    WaveFormat format;
    bool haveFormat = false;
    size_t offset = 12;
    while (end - offset >= 8) {
        const unsigned char* chunk = bytes + offset;
        const size_t length = Le32(chunk + 4);
        if (length > end - offset - 8)
            return std::nullopt;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || Le16(chunk + 8) != 1)  // PCM only
                return std::nullopt;
            format.channels = Le16(chunk + 10);
            format.sampleRate = static_cast<int>(Le32(chunk + 12));
            format.bitsPerSample = Le16(chunk + 22);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || format.channels < 1 || format.channels > 2 || format.sampleRate < 4000 ||
                format.sampleRate > 192000 || (format.bitsPerSample != 8 && format.bitsPerSample != 16))
                return std::nullopt;
            const size_t frame = static_cast<size_t>(format.channels) * static_cast<size_t>(format.bitsPerSample / 8);
            format.dataOffset = offset + 8;
            format.dataSize = length / frame * frame;
            return format;
        }
        // Chunks are padded to an even length.
        const size_t step = 8 + length + (length & 1);
        if (step > end - offset)
            break;
        offset += step;
    }
    return std::nullopt;
}

class QtAudioOutput : public ISoundOutput {
public:
    void Play(WaveBytes wave) override
    {
        Stop();
        if (!wave)
            return;
        const auto format = ParseWave(wave->data(), wave->size());
        if (!format || format->dataSize == 0)
            return;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            SayThereIsNoSound();
            return;
        }
        QAudioFormat audioFormat;
        audioFormat.setSampleRate(format->sampleRate);
        audioFormat.setChannelCount(format->channels);
        audioFormat.setSampleFormat(format->bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
        if (!device.isFormatSupported(audioFormat))
            return;
        // The sink reads the samples while they play: keep the bytes alive with it.
        m_wave = std::move(wave);
        m_samples = QByteArray::fromRawData(reinterpret_cast<const char*>(m_wave->data() + format->dataOffset),
                                            static_cast<qsizetype>(format->dataSize));
        m_buffer = std::make_unique<QBuffer>(&m_samples);
        m_buffer->open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(device, audioFormat);
        m_sink->start(m_buffer.get());
    }

    void Stop() override
    {
        if (m_sink) {
            m_sink->stop();
            m_sink.reset();
        }
        m_buffer.reset();
        m_samples.clear();
        m_wave.reset();
    }

    ~QtAudioOutput() override { Stop(); }

private:
    WaveBytes m_wave;
    QByteArray m_samples;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};

void InstallAudioOutput()
{
    static QtAudioOutput* output = nullptr;
    if (output || !QCoreApplication::instance())
        return;
    g_nextHandler = qInstallMessageHandler(DropSoundServerNoise);
    output = new QtAudioOutput;
    SetSoundOutput(output);
    // Sinks must go before the toolkit does.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
        SetSoundOutput(nullptr);
        delete output;
        output = nullptr;
    });
}

}  // namespace platform
