// sound-figures: computes the numbers behind the pictures of the pedal's
// sound (filter responses, the clipper's curve, spectrograms of the demo
// phrase) from the pedal's own code, and writes them or checks stored copies.
#include <cstdio>
#include <fstream>
#include <string>

#include "Figures.h"

using namespace mg::figures;

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: sound-figures write DIR DRY.wav FUZZ.wav   write DIR/<figure>.tsv\n"
                 "       sound-figures check DIR DRY.wav FUZZ.wav   compare DIR/<figure>.tsv with the code\n"
                 "DRY.wav is the demo phrase, FUZZ.wav the phrase through preset 0.\n");
    return 2;
}

bool Write(const std::string& dir, const Figure& figure)
{
    const std::string path = dir + "/" + figure.name + ".tsv";
    std::ofstream out(path);
    WriteTable(out, figure.table);
    out.close();
    if (!out) std::fprintf(stderr, "sound-figures: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

bool Check(const std::string& dir, const Figure& figure)
{
    const std::string path = dir + "/" + figure.name + ".tsv";
    std::ifstream in(path);
    Table stored;
    std::string error;
    if (!in) {
        error = "cannot read it";
    } else if (ReadTable(in, stored, error)) {
        error = FirstDifference(stored, figure.table, figure.tolerance);
    }
    if (error.empty()) return true;
    std::fprintf(stderr, "sound-figures: %s no longer matches the code: %s\n", path.c_str(), error.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) return Usage();
    const std::string command = argv[1];
    if (command != "write" && command != "check") return Usage();
    Audio dry, fuzz;
    std::string error;
    if (!ReadAudio(argv[3], dry, error) || !ReadAudio(argv[4], fuzz, error)) {
        std::fprintf(stderr, "sound-figures: %s\n", error.c_str());
        return 1;
    }
    if (dry.sampleRate != fuzz.sampleRate) {
        std::fprintf(stderr, "sound-figures: the two takes have different sample rates\n");
        return 1;
    }
    bool ok = true;
    for (const Figure& figure : ComputeFigures(dry, fuzz)) {
        ok = (command == "write" ? Write(argv[2], figure) : Check(argv[2], figure)) && ok;
    }
    if (!ok && command == "check") {
        std::fprintf(stderr,
                     "sound-figures: if the change in sound is intended, run scripts/refresh-sound-figures.sh\n");
    }
    return ok ? 0 : 1;
}
