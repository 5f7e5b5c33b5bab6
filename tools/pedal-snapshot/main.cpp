// pedal-snapshot: draws the pedal's editor to a PNG file, after an optional
// script of host and mouse events (see EditorSession.h for the words).
//
//   pedal-snapshot OUT.png [--script FILE] [--do "LINE"]... [--no-open]
//
// Unless --no-open is given, the host first opens the plug-in and shows the
// editor, as every host does before the user can touch it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "EditorSession.h"
#include "PngFile.h"

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: pedal-snapshot OUT.png [--script FILE] [--do \"LINE\"]... [--no-open]\n");
        return argc < 2 ? 2 : 0;
    }
    // The pictures show what the script asks for, never the editor size
    // this machine's user picked for their own editors: no settings folder.
    setenv("XDG_CONFIG_HOME", "/nonexistent/pedal-snapshot", 1);
    const std::string out = argv[1];
    std::string script;
    bool open = true;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--no-open") {
            open = false;
        } else if ((arg == "--script" || arg == "--do") && i + 1 < argc) {
            if (arg == "--do") {
                script += std::string(argv[++i]) + "\n";
                continue;
            }
            std::ifstream file(argv[++i]);
            if (!file) {
                std::fprintf(stderr, "pedal-snapshot: cannot read %s\n", argv[i]);
                return 1;
            }
            std::stringstream text;
            text << file.rdbuf();
            script += text.str() + "\n";
        } else {
            std::fprintf(stderr, "pedal-snapshot: unknown argument '%s'\n", arg.c_str());
            return 2;
        }
    }

    mg::snapshot::EditorSession session;
    std::string error;
    if ((open && (!session.Run("open", error) || !session.Run("show", error))) || !session.RunScript(script, error)) {
        std::fprintf(stderr, "pedal-snapshot: %s\n", error.c_str());
        return 1;
    }
    if (!mg::snapshot::WritePngFile(session.Picture(), out, error)) {
        std::fprintf(stderr, "pedal-snapshot: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
