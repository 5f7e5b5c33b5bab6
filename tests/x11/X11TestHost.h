#pragma once
// A small X11 host for the editor window tests: an X server of its own
// (Xvfb), a top-level window the plug-in's editor goes into, the pedal
// loaded through the raw ABI, idle calls as a host makes them, pointer and
// keys through xdotool, screenshots of the screen, and counts of what the
// process and the server hold.
#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "VstTestHost.h"
#include "raster/IMemoryBitmap.h"

namespace mg::test {

// An Xvfb for this process (24-bit true colour), named in DISPLAY while it
// runs. It picks a free display number itself, so test processes running
// side by side do not meet.
class XServer {
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Running() const { return pid_ > 0; }
    const std::string& Problem() const { return problem_; }

private:
    int pid_ = -1;
    std::string problem_;
    std::string previousDisplay_;
    bool hadDisplay_ = false;
};

// Runs a program to its end (at most `timeout`); true when it exited with 0.
bool RunProgram(const std::vector<std::string>& arguments,
                std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
// Whether a program of that name is on PATH.
bool HaveProgram(const char* name);

// Open file descriptors and threads of this process.
int OpenFileCount();
int ThreadCount();

// The host: its own connection, a parent window at a known place on the
// screen, and the pedal with the host's side of the editor requests.
class X11Host {
public:
    static constexpr int kParentX = 40;
    static constexpr int kParentY = 30;

    explicit X11Host(const char* pluginPath);
    ~X11Host();
    X11Host(const X11Host&) = delete;
    X11Host& operator=(const X11Host&) = delete;

    bool Connected() const { return c_ && !xcb_connection_has_error(c_); }
    xcb_connection_t* Connection() const { return c_; }
    xcb_window_t Parent() const { return parent_; }

    // A new plug-in instance, opened by the host (effOpen); the old one is closed.
    Instance& NewInstance();
    Instance& Plugin() { return *instance_; }
    void CloseInstance() { instance_.reset(); }
    float Parameter(int index) const { return instance_->get()->getParameter(instance_->get(), index); }

    // The editor's size from effEditGetRect; the parent takes it.
    bool FitParentToEditor(int& width, int& height);
    // effEditOpen with the parent's id; the request's answer.
    vst::intptr OpenEditor();
    vst::intptr CloseEditor();
    // Idle calls every 5 ms for `time`, or until `done` says so; the
    // result of the last `done`.
    bool Idle(std::chrono::milliseconds time, const std::function<bool()>& done = nullptr);

    // The parent's children: the editor window while it is open.
    std::vector<xcb_window_t> Children(xcb_window_t window) const;
    // What the screen shows at the parent's top-left, width x height, as
    // 0x00RRGGBB pixels.
    std::unique_ptr<IMemoryBitmap> Screenshot(int width, int height) const;
    // Clients of the X server and the resources they hold, all together.
    int ServerClientCount() const;
    long ServerResourceCount() const;
    // Moves the pointer to (x, y) of the parent, then runs the xdotool
    // commands that follow (click 1, mousedown 1, ...).
    bool PointerAt(int x, int y, const std::vector<std::string>& then = {});
    bool Keys(const std::vector<std::string>& xdotoolArguments);

private:
    xcb_connection_t* c_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    xcb_window_t parent_ = 0;
    LoadedPlugin library_;
    std::unique_ptr<Instance> instance_;
};

// Pixels whose red, green and blue differ.
int DifferentPixels(const IBitmap& a, const IBitmap& b);

// What the screen shows at (x, y), width x height, as 0x00RRGGBB pixels.
std::unique_ptr<IMemoryBitmap> ScreenArea(xcb_connection_t* c, int x, int y, int width, int height);

// The headless editor after a host opened the plug-in and showed the
// editor, then `script` (pedal-snapshot's words), as 0x00RRGGBB pixels.
std::unique_ptr<IMemoryBitmap> Headless(const std::string& script);

// Whether CI runs this: there, missing tools fail the tests instead of
// skipping them.
bool InCi();

// What a window test lacks here: the X server, or xdotool when it clicks.
// Empty when it can run.
inline std::string X11Missing(const XServer& server, bool clicks)
{
    if (!server.Running()) return server.Problem();
    if (clicks && !HaveProgram("xdotool")) return "no xdotool";
    return {};
}

} // namespace mg::test

// In a test's body: skips it where X11Missing() names something, and fails
// it in CI, which must run every window test.
#define MG_REQUIRE_X11(server, clicks)                                                                    \
    do {                                                                                                   \
        if (const std::string missing_ = ::mg::test::X11Missing(server, clicks); !missing_.empty()) {      \
            if (::mg::test::InCi()) FAIL() << "CI must run the X11 tests: " << missing_;                   \
            GTEST_SKIP() << missing_;                                                                      \
        }                                                                                                  \
    } while (false)
