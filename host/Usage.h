#pragma once
// The --help text: usage, options, and the output formats others parse.
namespace mg::host {

const char* UsageText();

} // namespace mg::host
