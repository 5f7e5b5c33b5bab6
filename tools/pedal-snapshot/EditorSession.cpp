#include "EditorSession.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "vst/VstEntry.h"

namespace mg::snapshot {

namespace {

vst::intptr VST_CALL QuietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float)
{
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

bool ParseInt(const std::string& word, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0') return false;
    out = static_cast<int>(v);
    return true;
}

bool ParseModifiers(const std::vector<std::string>& words, std::size_t from, IMouseModifiers& mods,
                    std::string& error)
{
    mods = IMouseModifiers{};
    mods.left = true;
    for (std::size_t i = from; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "right") {
            mods.right = true;
            mods.left = false;
        } else if (w == "shift") {
            mods.shift = true;
        } else if (w == "control" || w == "ctrl") {
            mods.control = true;
        } else if (w == "alt") {
            mods.alt = true;
        } else {
            error = "unknown modifier '" + w + "'";
            return false;
        }
    }
    return true;
}

} // namespace

EditorSession::EditorSession()
    : effect_(CreateVstInstance<MarrowGrit>(&QuietHost)),
      plugin_(static_cast<MarrowGrit*>(effect_->object)),
      editor_(static_cast<IEditorWindow*>(plugin_->EditorGraphics()))
{
}

EditorSession::~EditorSession() { effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f); }

bool EditorSession::Run(const std::string& line, std::string& error)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty() || words[0][0] == '#') return true;
    const std::string& verb = words[0];

    if (verb == "open") {
        effect_->dispatcher(effect_, vst::effOpen, 0, 0, nullptr, 0.0f);
        return true;
    }
    if (verb == "show") {
        editor_->MarkAllControlsDirty();
        editor_->RedrawTick();
        return true;
    }
    if (verb == "tick") {
        int n = 1;
        if (words.size() > 1 && !ParseInt(words[1], n)) {
            error = "tick takes a count";
            return false;
        }
        for (int i = 0; i < n; ++i) editor_->RedrawTick();
        return true;
    }
    if (verb == "param") {
        if (words.size() != 3) {
            error = "param takes a name or index and a value";
            return false;
        }
        int index = -1;
        if (!ParseInt(words[1], index)) {
            for (int i = 0; i < plugin_->ParameterCount(); ++i)
                if (words[1] == plugin_->ParameterAt(i)->name()) index = i;
        }
        char* end = nullptr;
        const double value = std::strtod(words[2].c_str(), &end);
        if (index < 0 || index >= plugin_->ParameterCount() || *end != '\0') {
            error = "param: unknown parameter or value in '" + line + "'";
            return false;
        }
        effect_->setParameter(effect_, index, static_cast<float>(value));
        return true;
    }
    if (verb == "scale") {
        int percent = 0;
        if (words.size() != 2 || !ParseInt(words[1], percent)) {
            error = "scale takes a percentage";
            return false;
        }
        effect_->dispatcher(effect_, vst::effVendorSpecific, 0x50726553, 0x41654373, nullptr,
                            static_cast<float>(percent / 100.0));
        return true;
    }
    if (verb == "program") {
        int n = 0;
        if (words.size() != 2 || !ParseInt(words[1], n)) {
            error = "program takes a number";
            return false;
        }
        effect_->dispatcher(effect_, vst::effSetProgram, 0, n, nullptr, 0.0f);
        return true;
    }

    const bool isWheel = verb == "wheel";
    const std::size_t firstModifier = isWheel ? 4 : 3;
    int x = 0, y = 0, notches = 0;
    if (words.size() < firstModifier || !ParseInt(words[1], x) || !ParseInt(words[2], y) ||
        (isWheel && !ParseInt(words[3], notches))) {
        error = "cannot read '" + line + "'";
        return false;
    }
    IMouseModifiers mods;
    if (!ParseModifiers(words, firstModifier, mods, error)) return false;
    if (verb == "press") {
        editor_->MouseDown(x, y, mods);
    } else if (verb == "release") {
        editor_->MouseUp(x, y, mods);
    } else if (verb == "drag") {
        editor_->MouseDrag(x, y, mods);
    } else if (verb == "dblclick") {
        editor_->MouseDoubleClick(x, y, mods);
    } else if (isWheel) {
        editor_->MouseWheel(x, y, mods, notches);
    } else if (verb == "click") {
        editor_->MouseDown(x, y, mods);
        editor_->RedrawTick();
        editor_->MouseUp(x, y, mods);
        editor_->RedrawTick();
    } else {
        error = "unknown event '" + verb + "'";
        return false;
    }
    return true;
}

bool EditorSession::RunScript(const std::string& text, std::string& error)
{
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!Run(line, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    return true;
}

const IBitmap& EditorSession::Picture()
{
    editor_->MarkAllControlsDirty();
    editor_->RedrawTick();
    return editor_->PresentedSurface();
}

} // namespace mg::snapshot
