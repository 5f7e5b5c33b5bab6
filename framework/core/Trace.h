#pragma once
// Trace points name the function, line, format and values of notable events.
// The sink does nothing; a debug build that wants a log replaces its body.

namespace mg {

template <class... Values>
inline void TraceSink(const char* /*function*/, int /*line*/, const char* /*format*/,
                      const Values&... /*values*/)
{
}

} // namespace mg
