// Writes the LV2 bundle's Turtle files from the pedal's own parameters and
// programs; run at build time.
//   mg-lv2-describe BUNDLE_FOLDER BINARY_FILE_NAME
#include <cstdio>
#include <exception>

#include "MarrowGrit.h"
#include "PedalLv2.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mg-lv2-describe BUNDLE_FOLDER BINARY_FILE_NAME\n");
        return 2;
    }
    try {
        mg::MarrowGrit pedal(nullptr);
        return mg::WriteLv2Description(pedal, mg::PedalLv2Bundle(argv[2]), argv[1]) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mg-lv2-describe: %s\n", e.what());
        return 1;
    }
}
