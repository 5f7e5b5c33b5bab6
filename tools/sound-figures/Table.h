#pragma once
// The text tables behind the sound figures: '#' lines are comments, every
// other line is a tag word followed by numbers. Plotting reads them, and a
// check compares a fresh table with the committed one.
#include <iosfwd>
#include <string>
#include <vector>

namespace mg::figures {

struct Row {
    std::string tag;
    std::vector<double> values;
};

struct Table {
    std::vector<std::string> comments;
    std::vector<Row> rows;
    int decimals = 3; // at most this many places are written
};

void WriteTable(std::ostream& out, const Table& table);
bool ReadTable(std::istream& in, Table& table, std::string& error);

// Empty when both have the same tags and counts and every number agrees
// within `tolerance`; otherwise says where the first difference is.
std::string FirstDifference(const Table& expected, const Table& actual, double tolerance);

} // namespace mg::figures
