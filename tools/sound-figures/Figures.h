#pragma once
// The figures of the pedal's sound, each with its file name and the
// tolerance within which a fresh computation must agree with a stored copy.
#include <string>
#include <vector>

#include "AudioInput.h"
#include "Table.h"

namespace mg::figures {

struct Figure {
    std::string name; // the table is <name>.tsv, the picture <name>.png
    double tolerance;
    Table table;
};

std::vector<Figure> ComputeFigures(const Audio& dry, const Audio& fuzz);

} // namespace mg::figures
