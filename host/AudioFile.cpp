#include "AudioFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "Failure.h"
#include "Text.h"

namespace mg::host {
namespace {

// libsndfile's messages end in a period or newline now and then.
std::string SndfileError(SNDFILE* file)
{
    std::string text = sf_strerror(file);
    while (!text.empty() && (text.back() == '.' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return Printable(text);
}

} // namespace

int OutputFormat(const std::string& path, SampleFormat format)
{
    const std::string ext = LowerExtension(path);
    int container = 0;
    SampleFormat chosen = format;
    if (ext == "wav") {
        container = SF_FORMAT_WAV;
        if (chosen == SampleFormat::Default)
            chosen = SampleFormat::Float;
    } else if (ext == "aiff" || ext == "aif") {
        container = SF_FORMAT_AIFF;
        if (chosen == SampleFormat::Default)
            chosen = SampleFormat::Float;
    } else if (ext == "flac") {
        container = SF_FORMAT_FLAC;
        if (chosen == SampleFormat::Default)
            chosen = SampleFormat::Pcm24;
        if (chosen == SampleFormat::Float)
            throw Failure("FLAC cannot hold float samples; use --format pcm16 or pcm24 for " + Quoted(path));
    } else {
        throw Failure("unsupported output format " + Quoted(ext.empty() ? path : "." + ext) +
                      " (use .wav, .flac, .aiff or .aif)");
    }
    int sub = SF_FORMAT_FLOAT;
    if (chosen == SampleFormat::Pcm16)
        sub = SF_FORMAT_PCM_16;
    else if (chosen == SampleFormat::Pcm24)
        sub = SF_FORMAT_PCM_24;
    return container | sub;
}

AudioReader::AudioReader(const std::string& path) : path_(path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw Failure("cannot read input " + Quoted(path) + ": it is a directory");
    // Tell a missing or unreadable file from one libsndfile does not know.
    if (std::FILE* probe = std::fopen(path.c_str(), "rb"))
        std::fclose(probe);
    else
        throw Failure("cannot read input " + Quoted(path) + ": " + std::strerror(errno));

    file_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (!file_)
        throw Failure("unsupported or damaged audio file " + Quoted(path) + ": " + SndfileError(nullptr));
    if (info_.channels <= 0 || info_.samplerate <= 0) {
        sf_close(file_);
        file_ = nullptr;
        throw Failure("audio file " + Quoted(path) + " has no channels or no sample rate");
    }
}

AudioReader::~AudioReader()
{
    if (file_)
        sf_close(file_);
}

std::int64_t AudioReader::Read(float* interleaved, std::int64_t frames)
{
    return Checked(sf_readf_float(file_, interleaved, frames), frames);
}

std::int64_t AudioReader::Read(double* interleaved, std::int64_t frames)
{
    return Checked(sf_readf_double(file_, interleaved, frames), frames);
}

// libsndfile answers a damaged or cut file with fewer frames, which looks
// like the end: a render of half the input would pass for a whole one.
std::int64_t AudioReader::Checked(std::int64_t got, std::int64_t asked)
{
    position_ += got;
    if (got >= asked)
        return got;
    const std::string where = "input " + Quoted(path_) + " at frame " + std::to_string(position_);
    if (sf_error(file_) != SF_ERR_NO_ERROR)
        throw Failure("cannot read " + where + ": " + SndfileError(file_));
    // SF_COUNT_MAX: a stream of unknown length, which ends where it ends.
    if (info_.frames != SF_COUNT_MAX && position_ < info_.frames)
        throw Failure("cannot read " + where + ": the file ends there, its header promises " +
                      std::to_string(info_.frames) + " frames (cut short or damaged)");
    return got;
}

AudioWriter::AudioWriter(const std::string& path, int format, int channels, int sampleRate) : path_(path)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    if (!sf_format_check(&info))
        throw Failure("cannot write " + std::to_string(channels) + " channels at " + std::to_string(sampleRate) +
                      " Hz in the format of " + Quoted(path));
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file_)
        throw Failure("cannot create output " + Quoted(path) + ": " + SndfileError(nullptr));
    const int sub = format & SF_FORMAT_SUBMASK;
    pcm_ = sub != SF_FORMAT_FLOAT && sub != SF_FORMAT_DOUBLE;
    // Integer output clips at full scale instead of wrapping around.
    if (pcm_)
        sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter()
{
    if (file_) {
        sf_close(file_);
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
}

void AudioWriter::Write(const float* interleaved, std::int64_t frames)
{
    Check(sf_writef_float(file_, interleaved, frames), frames);
}

void AudioWriter::Write(const double* interleaved, std::int64_t frames)
{
    Check(sf_writef_double(file_, interleaved, frames), frames);
}

void AudioWriter::Check(std::int64_t written, std::int64_t frames)
{
    if (written != frames)
        throw Failure("cannot write output " + Quoted(path_) + ": " + SndfileError(file_));
}

void AudioWriter::Close()
{
    SNDFILE* file = file_;
    file_ = nullptr;
    if (sf_close(file) != 0)
        throw Failure("cannot finish output " + Quoted(path_) + ": " + SndfileError(nullptr));
}

} // namespace mg::host
