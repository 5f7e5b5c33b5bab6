#include "lv2/Lv2Turtle.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace mg {

namespace {

constexpr const char* kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n";

// A Turtle decimal (or double) literal of a port's float value.
std::string Number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(static_cast<float>(value)));
    std::string out = text;
    if (out.find_first_of(".eEn") == std::string::npos) out += ".0";
    return out;
}

std::string Quoted(const char* text)
{
    std::string out = "\"";
    for (const char* c = text; c && *c; ++c) {
        if (*c == '"' || *c == '\\') out += '\\';
        out += *c;
    }
    return out + "\"";
}

bool IsToggle(const IParameter& parameter)
{
    return !parameter.IsContinuous() && parameter.minimum() == 0.0 && parameter.maximum() == 1.0;
}

std::string AudioPort(const char* direction, int index, const char* symbol, int number)
{
    std::ostringstream out;
    out << "        a lv2:AudioPort, lv2:" << direction << "Port ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << symbol << "_" << number << "\" ;\n"
        << "        lv2:name \"" << direction << " " << number << "\"\n";
    return out.str();
}

std::string ControlPort(const IParameter& parameter, int index)
{
    std::ostringstream out;
    out << "        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << Quoted(Lv2Symbol(parameter.name()).c_str()) << " ;\n"
        << "        lv2:name " << Quoted(parameter.name()) << " ;\n"
        << "        lv2:default " << Number(parameter.value()) << " ;\n"
        << "        lv2:minimum " << Number(parameter.minimum()) << " ;\n"
        << "        lv2:maximum " << Number(parameter.maximum());
    if (!parameter.IsContinuous()) {
        out << " ;\n        lv2:portProperty " << (IsToggle(parameter) ? "lv2:toggled, " : "") << "lv2:integer";
        const char* separator = " ;\n        lv2:scalePoint ";
        for (int v = static_cast<int>(parameter.minimum()); v <= static_cast<int>(parameter.maximum()); ++v) {
            const char* text = parameter.ValueTextFor(v);
            if (!text || !*text) continue;
            out << separator << "[\n            rdfs:label " << Quoted(text) << " ;\n            rdf:value "
                << Number(v) << "\n        ]";
            separator = " , ";
        }
    }
    out << "\n";
    return out.str();
}

// Hosts read the plug-in's delay here and line the other tracks up with it.
std::string LatencyPort(int latency, int index)
{
    std::ostringstream out;
    out << "        a lv2:OutputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"latency\" ;\n"
        << "        lv2:name \"Latency\" ;\n"
        << "        lv2:designation lv2:latency ;\n"
        << "        lv2:portProperty lv2:integer ;\n"
        << "        lv2:minimum 0 ;\n"
        << "        lv2:maximum " << latency << " ;\n"
        << "        lv2:default " << latency << "\n";
    return out.str();
}

struct Program {
    int index;
    std::string label;
    std::vector<double> values;
};

// The programs whose values differ from every earlier one's. A program that
// repeats an earlier one's name under other values is told apart by its
// number, so hosts do not list two presets of one name.
std::vector<Program> DistinctPrograms(ILv2Plugin& plugin)
{
    std::vector<Program> programs;
    for (int p = 0; p < plugin.PresetCount(); ++p) {
        if (!plugin.SelectPreset(p)) continue;
        Program program{p, plugin.PresetName(p), {}};
        for (int i = 0; i < plugin.ParameterCount(); ++i) program.values.push_back(plugin.ParameterAt(i)->value());
        bool repeat = false;
        bool nameTaken = false;
        for (const Program& earlier : programs) {
            repeat = repeat || earlier.values == program.values;
            nameTaken = nameTaken || earlier.label == program.label;
        }
        if (repeat) continue;
        if (nameTaken) program.label += " (program " + std::to_string(p) + ")";
        programs.push_back(std::move(program));
    }
    return programs;
}

std::string PresetUri(const Lv2BundleInfo& info, int program)
{
    return std::string(info.uri) + "#preset-" + std::to_string(program);
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (file) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

bool HasUi(const Lv2BundleInfo& info) { return info.uiBinary && *info.uiBinary; }

} // namespace

std::string Lv2UiUri(const Lv2BundleInfo& info) { return std::string(info.uri) + "#ui"; }

std::string Lv2Symbol(const char* name)
{
    std::string out;
    for (const char* c = name; c && *c; ++c) {
        const auto u = static_cast<unsigned char>(*c);
        out += std::isalnum(u) && u < 0x80 ? static_cast<char>(std::tolower(u)) : '_';
    }
    if (out.empty() || std::isdigit(static_cast<unsigned char>(out[0]))) out.insert(out.begin(), '_');
    return out;
}

std::string ManifestTurtle(ILv2Plugin& plugin, const Lv2BundleInfo& info)
{
    std::ostringstream out;
    out << kPrefixes << "<" << info.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << info.binary
        << "> ;\n    rdfs:seeAlso <" << info.pluginFile << "> .\n";
    if (HasUi(info))
        out << "\n<" << Lv2UiUri(info) << ">\n    a ui:X11UI ;\n    ui:binary <" << info.uiBinary
            << "> ;\n    rdfs:seeAlso <" << info.pluginFile << "> .\n";
    for (const Program& program : DistinctPrograms(plugin))
        out << "\n<" << PresetUri(info, program.index) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << info.uri
            << "> ;\n    rdfs:label " << Quoted(program.label.c_str()) << " ;\n    rdfs:seeAlso <" << info.presetsFile
            << "> .\n";
    return out.str();
}

std::string PluginTurtle(ILv2Plugin& plugin, const Lv2BundleInfo& info)
{
    const int version = plugin.EffectVersion(false);
    std::ostringstream out;
    out << kPrefixes << "<" << info.uri << ">\n"
        << "    a lv2:Plugin, lv2:" << info.pluginClass << ", doap:Project ;\n"
        << "    doap:name " << Quoted(plugin.EffectName()) << " ;\n"
        << "    doap:maintainer [\n        foaf:name " << Quoted(plugin.MakerName()) << "\n    ] ;\n"
        << "    lv2:minorVersion " << ((version >> 8) & 0xff) << " ;\n"
        << "    lv2:microVersion " << (version & 0xff) << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable ;\n";
    if (HasUi(info)) out << "    ui:ui <" << Lv2UiUri(info) << "> ;\n";
    else if (info.sharedUiUri && *info.sharedUiUri) out << "    ui:ui <" << info.sharedUiUri << "> ;\n";
    std::vector<std::string> ports;
    for (int i = 0; i < plugin.InputChannelCount(); ++i) ports.push_back(AudioPort("Input", i, "in", i + 1));
    for (int i = 0; i < plugin.OutputChannelCount(); ++i)
        ports.push_back(AudioPort("Output", plugin.FirstOutputPort() + i, "out", i + 1));
    for (int i = 0; i < plugin.ParameterCount(); ++i)
        ports.push_back(ControlPort(*plugin.ParameterAt(i), plugin.FirstControlPort() + i));
    if (plugin.ReportsLatency()) ports.push_back(LatencyPort(plugin.Latency(), plugin.LatencyPort()));
    out << "    lv2:port [\n";
    for (std::size_t i = 0; i < ports.size(); ++i) out << ports[i] << (i + 1 < ports.size() ? "    ] , [\n" : "    ] .\n");
    // The UI runs on the host's idle calls, talks through ports only, and
    // reports its size and edit gestures where the host listens.
    if (HasUi(info))
        out << "\n<" << Lv2UiUri(info) << ">\n    a ui:X11UI ;\n    lv2:requiredFeature ui:idleInterface ;\n"
            << "    lv2:optionalFeature ui:parent, ui:resize, ui:touch ;\n    lv2:extensionData ui:idleInterface .\n";
    return out.str();
}

std::string PresetsTurtle(ILv2Plugin& plugin, const Lv2BundleInfo& info)
{
    std::ostringstream out;
    out << kPrefixes;
    for (const Program& program : DistinctPrograms(plugin)) {
        out << "<" << PresetUri(info, program.index) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << info.uri
            << "> ;\n    rdfs:label " << Quoted(program.label.c_str()) << " ;\n    lv2:port ";
        for (int i = 0; i < plugin.ParameterCount(); ++i)
            out << (i ? " , [\n" : "[\n") << "        lv2:symbol " << Quoted(Lv2Symbol(plugin.ParameterAt(i)->name()).c_str())
                << " ;\n        pset:value " << Number(program.values[static_cast<std::size_t>(i)]) << "\n    ]";
        out << " .\n\n";
    }
    return out.str();
}

bool WriteLv2Description(ILv2Plugin& plugin, const Lv2BundleInfo& info, const std::string& folder)
{
    const Lv2BundlePart part{&plugin, info};
    return WriteLv2Description(std::span(&part, 1), folder);
}

bool WriteLv2Description(std::span<const Lv2BundlePart> parts, const std::string& folder)
{
    // Each plug-in description first: the preset documents select programs.
    std::string manifest;
    for (const Lv2BundlePart& part : parts) {
        const std::string description = PluginTurtle(*part.plugin, part.info);
        if (!WriteFile(folder + "/" + part.info.pluginFile, description) ||
            !WriteFile(folder + "/" + part.info.presetsFile, PresetsTurtle(*part.plugin, part.info)))
            return false;
        if (!manifest.empty()) manifest += '\n';
        manifest += ManifestTurtle(*part.plugin, part.info);
    }
    return WriteFile(folder + "/" + kLv2ManifestFile, manifest);
}

} // namespace mg
