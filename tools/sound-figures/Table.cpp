#include "Table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <sstream>

namespace mg::figures {

namespace {

// Fixed to `decimals` places, without trailing zeros; no minus sign on a
// value that rounds to zero.
std::string Format(double v, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

} // namespace

void WriteTable(std::ostream& out, const Table& table)
{
    for (const std::string& line : table.comments) out << "# " << line << '\n';
    for (const Row& row : table.rows) {
        out << row.tag;
        for (double v : row.values) out << ' ' << Format(v, table.decimals);
        out << '\n';
    }
}

bool ReadTable(std::istream& in, Table& table, std::string& error)
{
    table = Table{};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty()) continue;
        if (line[0] == '#') {
            table.comments.push_back(line.size() > 2 ? line.substr(2) : "");
            continue;
        }
        std::istringstream words(line);
        Row row;
        words >> row.tag;
        std::string word;
        while (words >> word) {
            char* end = nullptr;
            const double v = std::strtod(word.c_str(), &end);
            if (*end != '\0') {
                error = "line " + std::to_string(number) + ": '" + word + "' is not a number";
                return false;
            }
            row.values.push_back(v);
        }
        table.rows.push_back(std::move(row));
    }
    return true;
}

std::string FirstDifference(const Table& expected, const Table& actual, double tolerance)
{
    if (expected.rows.size() != actual.rows.size()) {
        return std::to_string(expected.rows.size()) + " rows expected, " + std::to_string(actual.rows.size()) +
               " computed";
    }
    for (std::size_t r = 0; r < expected.rows.size(); ++r) {
        const Row& e = expected.rows[r];
        const Row& a = actual.rows[r];
        const std::string where = "row " + std::to_string(r + 1) + " (" + e.tag + ")";
        if (e.tag != a.tag) return where + ": computed tag " + a.tag;
        if (e.values.size() != a.values.size()) return where + ": the number of values differs";
        for (std::size_t i = 0; i < e.values.size(); ++i) {
            if (!(std::fabs(e.values[i] - a.values[i]) <= tolerance)) {
                std::ostringstream text;
                text << where << ", value " << i + 1 << ": " << e.values[i] << " committed, " << a.values[i]
                     << " computed (tolerance " << tolerance << ")";
                return text.str();
            }
        }
    }
    return {};
}

} // namespace mg::figures
