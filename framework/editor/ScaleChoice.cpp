#include "ScaleChoice.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

#include "editor/DisplayScale.h"

namespace mg {

namespace {

constexpr const char* kScaleKey = "editor-scale=";
// Ours is a line or two; anything larger is someone else's file.
constexpr std::uintmax_t kLargestFile = 4096;

} // namespace

int ReadScaleChoice(const std::filesystem::path& file)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kLargestFile) return 0;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (in && std::getline(in, line)) {
        if (line.rfind(kScaleKey, 0) != 0) continue;
        const std::string value = line.substr(std::char_traits<char>::length(kScaleKey));
        char* end = nullptr;
        const long percent = std::strtol(value.c_str(), &end, 10);
        if (end == value.c_str() || (*end != '\0' && *end != '\r')) return 0;
        return ScaleStepIndex(static_cast<int>(percent)) >= 0 ? static_cast<int>(percent) : 0;
    }
    return 0;
}

bool WriteScaleChoice(const std::filesystem::path& file, int percent)
{
    if (file.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::filesystem::path temporary = file;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (percent != 0 && ScaleStepIndex(percent) >= 0)
            out << kScaleKey << percent << '\n';
        else
            out << kScaleKey << "auto\n";
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::filesystem::rename(temporary, file, ec);
    if (!ec) return true;
    std::filesystem::remove(temporary, ec);
    return false;
}

} // namespace mg
