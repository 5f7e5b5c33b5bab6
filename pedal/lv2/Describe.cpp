// Writes the LV2 bundle's Turtle files from the pedals' own parameters and
// programs, the exact one's and HQ's; run at build time.
//   mg-lv2-describe BUNDLE_FOLDER BINARY HQ_BINARY [UI_BINARY]
#include <cstdio>
#include <exception>

#include "MarrowGrit.h"
#include "MarrowGritHQ.h"
#include "PedalLv2.h"
#include "lv2/Lv2Turtle.h"

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: mg-lv2-describe BUNDLE_FOLDER BINARY HQ_BINARY [UI_BINARY]\n");
        return 2;
    }
    try {
        mg::MarrowGrit pedal(nullptr);
        mg::MarrowGritHQ hq(nullptr);
        const mg::Lv2BundlePart parts[] = {
            {&pedal,
             {.uri = mg::kPedalLv2Uri, .pluginClass = "DistortionPlugin", .binary = argv[2],
              .uiBinary = argc >= 5 ? argv[4] : ""}},
            {&hq,
             {.uri = mg::kPedalHqLv2Uri, .pluginClass = "DistortionPlugin", .binary = argv[3],
              .sharedUiUri = argc >= 5 ? mg::kPedalLv2UiUri : "", .pluginFile = "hq.ttl",
              .presetsFile = "hq-presets.ttl"}},
        };
        return mg::WriteLv2Description(parts, argv[1]) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mg-lv2-describe: %s\n", e.what());
        return 1;
    }
}
