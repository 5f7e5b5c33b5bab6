#include "CommandLine.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "ArgReader.h"
#include "Failure.h"
#include "Text.h"

namespace mg::host {
namespace {

std::string SeeHelp()
{
    return " (see mg-host --help)";
}

int ParseBlock(const std::string& text)
{
    const auto block = ParseIndex(text);
    if (!block || *block < 1 || *block > kMaxBlock)
        throw UsageError("--block needs a whole number from 1 to " + std::to_string(kMaxBlock) + ", got " +
                         Quoted(text));
    return *block;
}

CallbackKind ParseCallback(const std::string& text)
{
    static constexpr std::pair<const char*, CallbackKind> kChoices[] = {
        {"replacing", CallbackKind::Replacing},
        {"double", CallbackKind::Double},
        {"accumulating", CallbackKind::Accumulating},
    };
    return ParseKeyword(text, "--callback", kChoices);
}

SampleFormat ParseFormat(const std::string& text)
{
    static constexpr std::pair<const char*, SampleFormat> kChoices[] = {
        {"pcm16", SampleFormat::Pcm16},
        {"pcm24", SampleFormat::Pcm24},
        {"float", SampleFormat::Float},
    };
    return ParseKeyword(text, "--format", kChoices);
}

double ParseTail(const std::string& text)
{
    const auto seconds = ParseNumber(text);
    if (!seconds || *seconds < 0.0 || *seconds > kMaxTailSeconds)
        throw UsageError("--tail needs seconds from 0 to " + std::to_string(static_cast<int>(kMaxTailSeconds)) +
                         ", got " + Quoted(text));
    return *seconds;
}

InfoOptions ParseInfo(ArgReader& args)
{
    InfoOptions options;
    std::vector<std::string> positionals;
    while (!args.Done()) {
        bool isOption = false;
        const std::string word = args.Next(isOption);
        if (!isOption) {
            positionals.push_back(word);
        } else if (word == "--verbose" || word == "-v") {
            args.NoValue(word);
            options.verbose = true;
        } else {
            throw UsageError("unknown option " + Quoted(word) + " for info" + SeeHelp());
        }
    }
    if (positionals.size() != 1)
        throw UsageError("info needs exactly one argument: PLUGIN" + SeeHelp());
    options.plugin = positionals[0];
    return options;
}

RenderOptions ParseRender(ArgReader& args)
{
    RenderOptions options;
    std::vector<std::string> positionals;
    while (!args.Done()) {
        bool isOption = false;
        const std::string word = args.Next(isOption);
        if (!isOption) {
            positionals.push_back(word);
        } else if (word == "--block") {
            options.block = ParseBlock(args.Value(word));
        } else if (word == "--callback") {
            options.callback = ParseCallback(args.Value(word));
        } else if (ReadSettingOption(word, args, options.settings)) {
        } else if (word == "--state-in") {
            options.stateIn = args.NonEmptyValue(word);
        } else if (word == "--state-out") {
            options.stateOut = args.NonEmptyValue(word);
        } else if (word == "--preset-in") {
            options.presetIn = args.NonEmptyValue(word);
        } else if (word == "--preset-out") {
            options.presetOut = args.NonEmptyValue(word);
        } else if (word == "--tail") {
            options.tailSeconds = ParseTail(args.Value(word));
        } else if (word == "--format") {
            options.format = ParseFormat(args.Value(word));
        } else if (word == "--quiet" || word == "-q") {
            args.NoValue(word);
            options.quiet = true;
        } else if (word == "--verbose" || word == "-v") {
            args.NoValue(word);
            options.verbose = true;
        } else {
            throw UsageError("unknown option " + Quoted(word) + " for render" + SeeHelp());
        }
    }
    if (positionals.size() != 3)
        throw UsageError("render needs three arguments: PLUGIN IN OUT" + SeeHelp());
    options.plugin = positionals[0];
    options.input = positionals[1];
    options.output = positionals[2];
    return options;
}

} // namespace

Command ParseCommandLine(int argc, const char* const* argv)
{
    Command command;
    if (argc < 2)
        throw UsageError("no command given" + SeeHelp());
    // --help anywhere before "--" wins: `mg-host render --help` should help.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return command;
    }
    const std::string_view word = argv[1];
    ArgReader args(argc, argv, 2);
    if (word == "help") {
        command.kind = Command::Kind::Help;
    } else if (word == "--version" || word == "-V") {
        command.kind = Command::Kind::Version;
    } else if (word == "info") {
        command.kind = Command::Kind::Info;
        command.info = ParseInfo(args);
    } else if (word == "render") {
        command.kind = Command::Kind::Render;
        command.render = ParseRender(args);
    } else {
        throw UsageError("unknown command " + Quoted(word) + SeeHelp());
    }
    return command;
}

} // namespace mg::host
