#include "X11TestHost.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/res.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "EditorSession.h"
#include "editor/x11/Freed.h"

extern char** environ;

namespace mg::test {

namespace {

using Clock = std::chrono::steady_clock;
using x11::Freed;

int CountEntries(const char* folder)
{
    DIR* dir = opendir(folder);
    if (!dir) return -1;
    int n = 0;
    while (const dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') ++n;
    closedir(dir);
    return n - (std::strcmp(folder, "/proc/self/fd") == 0 ? 1 : 0); // the one opendir holds
}

// Waits for a child until the deadline; kills it when it overstays.
bool WaitFor(pid_t pid, Clock::time_point deadline, int& status)
{
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return true;
        if (done < 0) return false;
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

// ---- the X server ---------------------------------------------------------------

XServer::XServer()
{
    if (const char* display = std::getenv("DISPLAY")) {
        hadDisplay_ = true;
        previousDisplay_ = display;
    }
    if (!HaveProgram("Xvfb")) {
        problem_ = "no Xvfb (scripts/install-x11-test-tools.sh installs it)";
        return;
    }
    int ready[2];
    if (pipe(ready) != 0) {
        problem_ = "no pipe";
        return;
    }
    const std::string fd = std::to_string(ready[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                          "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (spawned != 0) {
        close(ready[0]);
        problem_ = "Xvfb did not start";
        return;
    }
    // The server writes its display number once it takes connections.
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        if (poll(&wait, 1, 100) <= 0) continue;
        char buffer[16];
        const ssize_t n = read(ready[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<std::size_t>(n));
        if (number.find('\n') != std::string::npos) break;
    }
    close(ready[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) number.pop_back();
    if (number.empty()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        problem_ = "Xvfb gave no display number";
        return;
    }
    pid_ = pid;
    setenv("DISPLAY", (":" + number).c_str(), 1);
}

XServer::~XServer()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        if (!WaitFor(pid_, Clock::now() + std::chrono::seconds(5), status)) kill(pid_, SIGKILL);
    }
    if (hadDisplay_) {
        setenv("DISPLAY", previousDisplay_.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

// ---- programs and counts ----------------------------------------------------------

bool HaveProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string folders = path;
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = folders.find(':', start);
        const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string file = (folder.empty() ? "." : folder) + "/" + name;
        if (access(file.c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

bool RunProgram(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return WaitFor(pid, Clock::now() + timeout, status) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int OpenFileCount() { return CountEntries("/proc/self/fd"); }

int ThreadCount() { return CountEntries("/proc/self/task"); }

int DifferentPixels(const IBitmap& a, const IBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            n += ((a.Pixels()[y * a.RowSpan() + x] ^ b.Pixels()[y * b.RowSpan() + x]) & 0xFFFFFFu) != 0;
    return n;
}

// ---- the host -----------------------------------------------------------------------

X11Host::X11Host(const char* pluginPath) : library_(pluginPath)
{
    c_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c_)) return;
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    parent_ = xcb_generate_id(c_);
    const std::uint32_t values[] = {screen_->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, parent_, screen_->root, kParentX, kParentY, 400, 400, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    xcb_map_window(c_, parent_);
    xcb_flush(c_);
    // Without a window manager the window is viewable once the server has mapped it.
    for (int i = 0; i < 200; ++i) {
        Freed<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, parent_), nullptr));
        if (a && a->map_state == XCB_MAP_STATE_VIEWABLE) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

X11Host::~X11Host()
{
    instance_.reset();
    if (c_) xcb_disconnect(c_);
}

Instance& X11Host::NewInstance()
{
    instance_.reset();
    instance_ = std::make_unique<Instance>(library_);
    instance_->Dispatch(vst::effOpen);
    return *instance_;
}

bool X11Host::FitParentToEditor(int& width, int& height)
{
    vst::ERect* rect = nullptr;
    if (instance_->Dispatch(vst::effEditGetRect, 0, 0, &rect) != 1 || !rect) return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    xcb_configure_window(c_, parent_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    Freed<xcb_get_input_focus_reply_t> sync(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    return true;
}

vst::intptr X11Host::OpenEditor()
{
    return instance_->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent_)));
}

vst::intptr X11Host::CloseEditor() { return instance_->Dispatch(vst::effEditClose); }

bool X11Host::Idle(std::chrono::milliseconds time, const std::function<bool()>& done)
{
    const auto deadline = Clock::now() + time;
    for (;;) {
        if (instance_) instance_->Dispatch(vst::effEditIdle);
        // The host's own events (its window's structure changes) are of no interest.
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) std::free(event);
        if (done && done()) return true;
        if (Clock::now() >= deadline) return done ? false : true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<xcb_window_t> X11Host::Children(xcb_window_t window) const
{
    Freed<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr));
    if (!tree) return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.p);
    return std::vector<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.p));
}

std::unique_ptr<IMemoryBitmap> X11Host::Screenshot(int width, int height) const
{
    return ScreenArea(c_, kParentX, kParentY, width, height);
}

std::unique_ptr<IMemoryBitmap> ScreenArea(xcb_connection_t* c, int x, int y, int width, int height)
{
    // The screen itself: the root window shows every window as it is drawn.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    Freed<xcb_get_image_reply_t> image(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), ~0u),
        nullptr));
    if (!image || image->depth != 24) return nullptr;
    const int length = xcb_get_image_data_length(image.p);
    if (length < width * height * 4) return nullptr;
    auto shot = std::make_unique<IMemoryBitmap>(width, height);
    // Xvfb's 24-bit visual: 0x00RRGGBB in 32-bit little-endian words.
    std::memcpy(shot->Pixels(), xcb_get_image_data(image.p), static_cast<std::size_t>(width) * height * 4);
    for (int i = 0; i < width * height; ++i) shot->Pixels()[i] &= 0xFFFFFFu;
    return shot;
}

std::unique_ptr<IMemoryBitmap> Headless(const std::string& script)
{
    snapshot::EditorSession session;
    std::string error;
    if (!session.RunScript("open\nshow\n" + script, error)) return nullptr;
    const IBitmap& picture = session.Picture();
    auto copy = std::make_unique<IMemoryBitmap>(picture.Width(), picture.Height());
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            copy->Pixels()[y * copy->RowSpan() + x] = picture.Pixels()[y * picture.RowSpan() + x] & 0xFFFFFFu;
    return copy;
}

bool InCi()
{
    const char* ci = std::getenv("CI");
    return ci && *ci && std::strcmp(ci, "false") != 0 && std::strcmp(ci, "0") != 0;
}

int X11Host::ServerClientCount() const
{
    Freed<xcb_res_query_clients_reply_t> clients(
        xcb_res_query_clients_reply(c_, xcb_res_query_clients(c_), nullptr));
    return clients ? static_cast<int>(clients->num_clients) : -1;
}

long X11Host::ServerResourceCount() const
{
    Freed<xcb_res_query_clients_reply_t> clients(
        xcb_res_query_clients_reply(c_, xcb_res_query_clients(c_), nullptr));
    if (!clients) return -1;
    long total = 0;
    for (auto it = xcb_res_query_clients_clients_iterator(clients.p); it.rem; xcb_res_client_next(&it)) {
        Freed<xcb_res_query_client_resources_reply_t> resources(xcb_res_query_client_resources_reply(
            c_, xcb_res_query_client_resources(c_, it.data->resource_base), nullptr));
        if (!resources) continue;
        for (auto r = xcb_res_query_client_resources_types_iterator(resources.p); r.rem; xcb_res_type_next(&r))
            total += r.data->count;
    }
    return total;
}

bool X11Host::PointerAt(int x, int y, const std::vector<std::string>& then)
{
    // No --sync: it waits for ever when the pointer is there already, and the
    // server takes one client's requests in order anyway.
    std::vector<std::string> arguments = {"xdotool", "mousemove", std::to_string(kParentX + x),
                                          std::to_string(kParentY + y)};
    arguments.insert(arguments.end(), then.begin(), then.end());
    return RunProgram(arguments);
}

bool X11Host::Keys(const std::vector<std::string>& xdotoolArguments)
{
    std::vector<std::string> arguments = {"xdotool"};
    arguments.insert(arguments.end(), xdotoolArguments.begin(), xdotoolArguments.end());
    return RunProgram(arguments);
}

} // namespace mg::test
