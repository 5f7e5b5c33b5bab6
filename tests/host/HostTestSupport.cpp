#include "HostTestSupport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sndfile.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace mg::hosttest {

RunResult RunHost(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& cwd,
                  int seconds)
{
    TempDir dir;
    const std::string outPath = dir / "stdout";
    const std::string errPath = dir / "stderr";
    std::vector<std::string> argv{MG_HOST_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv)
        cargv.push_back(a.data());
    cargv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int nul = open("/dev/null", O_RDONLY);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        dup2(nul, STDIN_FILENO);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(126);
        unsetenv("DISPLAY");
        for (const auto& e : env)
            putenv(const_cast<char*>(e.c_str()));
        execv(cargv[0], cargv.data());
        _exit(127);
    }

    RunResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!result.timedOut && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    return result;
}

int CountLines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

void WriteSine(const std::filesystem::path& path, int channels, int rate, long long frames, int format, double freq,
               double amplitude, bool othersSilent)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = format;
    SNDFILE* file = sf_open(path.string().c_str(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error("cannot write test audio " + path.string());
    std::vector<float> frame(static_cast<std::size_t>(channels));
    for (long long i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        for (int c = 0; c < channels; ++c) {
            const double f = c == 0 ? freq : freq / 2.0;
            frame[static_cast<std::size_t>(c)] =
                c > 0 && othersSilent ? 0.0f : static_cast<float>(amplitude * std::sin(2.0 * M_PI * f * t));
        }
        sf_writef_float(file, frame.data(), 1);
    }
    sf_close(file);
}

Audio ReadAudio(const std::filesystem::path& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.string().c_str(), SFM_READ, &info);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    Audio audio;
    audio.channels = info.channels;
    audio.rate = info.samplerate;
    audio.format = info.format;
    audio.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}

double Rms(const Audio& audio, int channel, long long from, long long to)
{
    if (to < 0)
        to = audio.Frames();
    double sum = 0.0;
    for (long long i = from; i < to; ++i)
    {
        const auto v = static_cast<double>(audio.At(i, channel));
        sum += v * v;
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

bool AllFinite(const Audio& audio)
{
    return std::all_of(audio.samples.begin(), audio.samples.end(), [](float v) { return std::isfinite(v); });
}

float MaxDifference(const Audio& a, const Audio& b)
{
    if (a.samples.size() != b.samples.size())
        return INFINITY;
    float most = 0.0f;
    for (std::size_t i = 0; i < a.samples.size(); ++i)
        most = std::max(most, std::fabs(a.samples[i] - b.samples[i]));
    return most;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "mg-host-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace mg::hosttest
