#pragma once
// Sound files through libsndfile: the input as it is (WAV, FLAC, AIFF and
// whatever else libsndfile reads), the output in a format chosen by its
// extension.
#include <cstdint>
#include <string>

#include <sndfile.h>

namespace mg::host {

enum class SampleFormat { Default, Pcm16, Pcm24, Float };

// The libsndfile format for an output file name and sample format; throws
// Failure for an unknown extension or a combination the container lacks.
// Defaults: float for .wav and .aiff/.aif (levels above full scale survive),
// 24-bit for .flac (FLAC has no float samples).
int OutputFormat(const std::string& path, SampleFormat format);

class AudioReader {
public:
    // Throws Failure when the file is missing, unreadable or not audio.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int Channels() const { return info_.channels; }
    int SampleRate() const { return info_.samplerate; }
    std::int64_t Frames() const { return info_.frames; }

    // Up to `frames` interleaved frames; fewer only at the end of the file.
    // Throws Failure, naming the frame, on a read error and when the file
    // ends before the frames its header promises (cut short or damaged).
    std::int64_t Read(float* interleaved, std::int64_t frames);
    std::int64_t Read(double* interleaved, std::int64_t frames);

private:
    std::int64_t Checked(std::int64_t got, std::int64_t asked);

    std::string path_;
    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
    std::int64_t position_ = 0; // frames read so far
};

class AudioWriter {
public:
    // Throws Failure when the file cannot be created.
    AudioWriter(const std::string& path, int format, int channels, int sampleRate);
    // Without Close() the file is incomplete and gets removed.
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    bool IsPcm() const { return pcm_; }

    void Write(const float* interleaved, std::int64_t frames);
    void Write(const double* interleaved, std::int64_t frames);
    // Finishes the header; throws Failure when that fails.
    void Close();

private:
    void Check(std::int64_t written, std::int64_t frames);

    std::string path_;
    SNDFILE* file_ = nullptr;
    bool pcm_ = false;
};

} // namespace mg::host
