#include "LiveOptions.h"

#include <cstdlib>
#include <string_view>

#include "ArgReader.h"
#include "Failure.h"
#include "Text.h"

namespace mg::live {
namespace {

using host::Quoted;
using host::UsageError;

std::string SeeHelp()
{
    return " (see mg-live --help)";
}

} // namespace

LiveOptions ParseLiveOptions(int argc, const char* const* argv)
{
    LiveOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            options.kind = LiveOptions::Kind::Help;
            return options;
        }
        if (arg == "--version" || arg == "-V") {
            options.kind = LiveOptions::Kind::Version;
            return options;
        }
    }
    host::ArgReader args(argc, argv, 1);
    std::vector<std::string> positionals;
    while (!args.Done()) {
        bool isOption = false;
        const std::string word = args.Next(isOption);
        if (!isOption) {
            positionals.push_back(word);
        } else if (host::ReadSettingOption(word, args, options.settings)) {
        } else if (word == "--callback") {
            static constexpr std::pair<const char*, bool> kDouble[] = {{"replacing", false}, {"double", true}};
            options.doublePrecision = host::ParseKeyword(args.Value(word), "--callback", kDouble);
        } else if (word == "--in") {
            options.inputs.push_back(args.NonEmptyValue(word));
        } else if (word == "--out") {
            options.outputs.push_back(args.NonEmptyValue(word));
        } else if (word == "--name") {
            options.clientName = args.NonEmptyValue(word);
        } else if (word == "--load") {
            options.loadFile = args.NonEmptyValue(word);
        } else if (word == "--save") {
            options.saveFile = args.NonEmptyValue(word);
        } else if (word == "--scale") {
            const std::string value = args.Value(word);
            char* end = nullptr;
            const long percent = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || percent < 50 || percent > 400)
                throw UsageError("--scale takes a percentage from 50 to 400" + SeeHelp());
            options.scalePercent = static_cast<int>(percent);
        } else if (word == "--no-gui" || word == "--no-connect" || word == "--fresh") {
            args.NoValue(word);
            (word == "--no-gui" ? options.noGui : word == "--fresh" ? options.fresh : options.noConnect) = true;
        } else {
            throw UsageError("unknown option " + Quoted(word) + SeeHelp());
        }
    }
    if (positionals.size() != 1)
        throw UsageError("mg-live needs exactly one argument: PLUGIN" + SeeHelp());
    options.plugin = positionals[0];
    if (options.noConnect && (!options.inputs.empty() || !options.outputs.empty()))
        throw UsageError("--no-connect cannot go with --in or --out");
    return options;
}

const char* LiveUsageText()
{
    return R"(mg-live: plays a plug-in live through a JACK server, its editor in a window.

Usage:
  mg-live PLUGIN [options]
  mg-live --help | --version

PLUGIN is a VST 2.4 library (.so), a VST 3 bundle (.vst3, or the module in
it) or a CLAP module (.clap).

The plug-in gets one JACK input port per input (in_1, in_2, ...) and one
output port per output (out_1, out_2, ...), at the server's sample rate and
period. By default in_1 takes the first physical capture port (the guitar)
and out_1, out_2 go to the first two physical playback ports; other inputs
hear silence until connected.

  --in PORT              connect PORT to the next input (in_1, then in_2,
                         ...) instead of the default; repeatable
  --out PORT             connect the next output (out_1, then out_2, ...)
                         to PORT instead of the default; repeatable
  --no-connect           leave every port unconnected
  --name NAME            the JACK client name (default mg-live)
  --param NAME=VALUE     set a parameter to VALUE, normalised 0..1; NAME is
                         the exact parameter name or its index; repeatable,
                         applied in order after --program
  --program N            select program N (from 0)
  --callback KIND        replacing (default) or double (64-bit processing,
                         for plug-ins that offer it)
  --no-gui               no window, even when there is a display
  --scale PERCENT        the window's scale, as a host tells its display's
                         (the editor takes the nearest size it offers);
                         default: the size picked in the editor, else the
                         desktop's
  --fresh                start from the plug-in's defaults, not the state
                         saved at the last exit
  --load FILE            load FILE (.fxp program or .fxb bank) at start,
                         instead of the state saved at the last exit
                         (VST 2.4 plug-ins)
  --save FILE            also save to FILE (.fxp or .fxb) at exit (VST 2.4
                         plug-ins)

On exit (the window closed, Ctrl+C, SIGTERM, SIGHUP, or the JACK server
gone) the plug-in's state is saved in $XDG_CONFIG_HOME/mg-live/ (~/.config
when XDG_CONFIG_HOME is unset) and loaded at the next start: a VST 2.4
plug-in's current program as ID.fxp (ID its unique ID), a VST 3 plug-in's
state as ID.vst3state (ID its class id), a CLAP plug-in's as ID.clapstate
(ID its plug-in id). A file there that does not load is kept as FILE.bad
(ID.fxp.bad, ...) and the plug-in starts from its defaults. Settings apply
in this order: the saved state or --load, then --program, then --param.

Exit status: 0 after a clean exit, 1 on an error (a failed save, new server
settings the plug-in cannot take) or when the JACK server went away, 2 for a
bad command line.
)";
}

} // namespace mg::live
