// Writes the LV2 bundle's Turtle files from the pedal's own parameters and
// programs; run at build time.
//   mg-lv2-describe BUNDLE_FOLDER BINARY_FILE_NAME [UI_BINARY_FILE_NAME]
#include <cstdio>
#include <exception>

#include "MarrowGrit.h"
#include "PedalLv2.h"
#include "lv2/Lv2Turtle.h"

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: mg-lv2-describe BUNDLE_FOLDER BINARY_FILE_NAME [UI_BINARY_FILE_NAME]\n");
        return 2;
    }
    try {
        mg::MarrowGrit pedal(nullptr);
        const mg::Lv2BundleInfo bundle{.uri = mg::kPedalLv2Uri,
                                       .pluginClass = "DistortionPlugin",
                                       .binary = argv[2],
                                       .uiBinary = argc == 4 ? argv[3] : ""};
        return mg::WriteLv2Description(pedal, bundle, argv[1]) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mg-lv2-describe: %s\n", e.what());
        return 1;
    }
}
