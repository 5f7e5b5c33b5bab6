// mg-editor-host: a small Windows host that shows a plug-in's editor in a real
// window, for the window tests under wine (scripts/test-windows.sh).
//
//   mg-editor-host.exe PLUGIN.dll | PLUGIN.vst3 [--dpi-aware]
//
// It loads the plug-in, opens it, asks for the editor's rectangle, makes a
// borderless top-level window of that size at the screen's top-left corner
// and opens the editor in it through effEditOpen (a VST 3 bundle: its view
// attached to the window, through mg-host's VST 3 side). With --dpi-aware
// the process is per-monitor DPI aware, as today's hosts are, and its window
// takes the size the plug-in asks for (audioMasterSizeWindow). Then it takes one command
// a line on stdin and answers each with one line on stdout:
//
//   ready W H X Y             (unasked, once the editor is open: its size
//                              then; X Y is the client area's top-left on
//                              the screen)
//   param I        -> param I VALUE      getParameter
//   set I V        -> ok                 setParameter
//   open           -> open 0|1           effEditOpen with the host window
//   close          -> close 0|1          effEditClose
//   cycle N        -> cycle N            N times close and open, the messages
//                                        of 100 ms pumped after each
//   windows        -> windows N          windows inside the host window
//   class          -> class 0|1          the editor's window class registered
//   ticks MS       -> ticks N            timer messages that reached windows
//                                        other than the host's own in MS ms
//   heap           -> heap BYTES BLOCKS  busy blocks of every heap
//   leak BYTES     -> ok                 allocates and forgets BYTES, so a
//                                        script can see its heap check work
//   gdi            -> gdi N user N       GDI and USER objects of the process
//   edits          -> edits BEGIN END AUTOMATE   the plug-in's requests so far
//                                        (VST 3: BEGIN and END stay 0)
//   quit           -> bye                closes the editor and the plug-in
//
// The message loop keeps running between commands, so the editor's timer,
// painting and mouse handling work as in any host.
#include "platform/WindowsApi.h"

#include <fcntl.h>
#include <io.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Failure.h"
#include "Vst3HostedPlugin.h"
#include "VstAbi.h"

namespace {

constexpr UINT kCommandMessage = WM_APP + 1;
constexpr UINT_PTR kTicksTimer = 77;
constexpr const char* kHostClass = "MgEditorHostWindow";

HMODULE plugin = nullptr;
vst::AEffect* effect = nullptr;
// Instead of `effect`, for a VST 3 bundle.
std::unique_ptr<mg::host::HostedPlugin> vst3;
HWND hostWindow = nullptr;
long beginEdits = 0;
long endEdits = 0;
long automates = 0;
long foreignTicks = 0; // timer messages for windows other than ours
void* volatile forgotten = nullptr; // the last block of `leak`

vst::intptr VST_CALL HostCallback(vst::AEffect*, vst::int32 opcode, vst::int32 index, vst::intptr value, void*,
                                  float)
{
    switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterAutomate: ++automates; return 0;
    case vst::audioMasterBeginEdit: ++beginEdits; return 1;
    case vst::audioMasterEndEdit: ++endEdits; return 1;
    case vst::audioMasterSizeWindow:
        return hostWindow && SetWindowPos(hostWindow, nullptr, 0, 0, static_cast<int>(index), static_cast<int>(value),
                                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 1
                   : 0;
    default: return 0;
    }
}

// Per-monitor aware where the system knows it (Windows 10 1703), else
// system aware; looked up, so the host still starts on older systems.
void MakeProcessDpiAware()
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    using SetContext = BOOL(WINAPI*)(HANDLE);
    using SetAware = BOOL(WINAPI*)();
    if (auto set = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext"))))
        if (set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return; // per monitor, v2
    if (auto set = reinterpret_cast<SetAware>(reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware"))))
        set();
}

vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0, void* ptr = nullptr,
                     float opt = 0.0f)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void Reply(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Runs the message loop for `ms` milliseconds.
void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd != hostWindow) ++foreignTicks;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

void HeapUsage(unsigned long long& bytes, unsigned long& blocks)
{
    bytes = 0;
    blocks = 0;
    // The list is filled only when it has room for every heap.
    std::vector<HANDLE> heaps(16);
    DWORD n = 0;
    while ((n = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data())) > heaps.size()) heaps.resize(n);
    for (DWORD i = 0; i < n; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                bytes += entry.cbData;
                ++blocks;
            }
        }
        HeapUnlock(heaps[i]);
    }
}

double Parameter(long index)
{
    if (vst3) return vst3->Parameter(static_cast<int>(index));
    return effect->getParameter(effect, static_cast<vst::int32>(index));
}

void SetParameter(long index, double value)
{
    if (vst3) vst3->SetParameter(static_cast<int>(index), value);
    else effect->setParameter(effect, static_cast<vst::int32>(index), static_cast<float>(value));
}

bool OpenEditor()
{
    if (vst3) return vst3->OpenEditor(hostWindow);
    return Dispatch(vst::effEditOpen, 0, 0, hostWindow) != 0;
}

bool CloseEditor()
{
    if (vst3) {
        vst3->CloseEditor();
        return true;
    }
    return Dispatch(vst::effEditClose) != 0;
}

void RunCommand(const std::string& line)
{
    char verb[32] = {};
    long a = 0;
    double b = 0.0;
    const int fields = std::sscanf(line.c_str(), "%31s %ld %lf", verb, &a, &b);
    const std::string cmd = fields >= 1 ? verb : "";

    if (cmd == "param" && fields >= 2) {
        Reply("param %ld %.6f", a, Parameter(a));
    } else if (cmd == "set" && fields == 3) {
        SetParameter(a, b);
        Reply("ok");
    } else if (cmd == "open") {
        Reply("open %d", OpenEditor() ? 1 : 0);
    } else if (cmd == "close") {
        Reply("close %d", CloseEditor() ? 1 : 0);
    } else if (cmd == "cycle" && fields >= 2) {
        for (long i = 0; i < a; ++i) {
            CloseEditor();
            Pump(50);
            OpenEditor();
            Pump(100);
        }
        Reply("cycle %ld", a);
    } else if (cmd == "windows") {
        long count = 0;
        EnumChildWindows(hostWindow, &CountWindow, reinterpret_cast<LPARAM>(&count));
        Reply("windows %ld", count);
    } else if (cmd == "class") {
        WNDCLASSA info{};
        Reply("class %d", GetClassInfoA(plugin, "IAudioPluginWndClass", &info) ? 1 : 0);
    } else if (cmd == "ticks" && fields >= 2) {
        foreignTicks = 0;
        SetTimer(hostWindow, kTicksTimer, static_cast<UINT>(a), nullptr);
    } else if (cmd == "heap") {
        unsigned long long bytes = 0;
        unsigned long blocks = 0;
        HeapUsage(bytes, blocks);
        Reply("heap %llu %lu", bytes, blocks);
    } else if (cmd == "leak" && fields >= 2 && a > 0) {
        forgotten = std::malloc(static_cast<std::size_t>(a));
        Reply("ok");
    } else if (cmd == "gdi") {
        Reply("gdi %lu user %lu", GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
              GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    } else if (cmd == "edits") {
        Reply("edits %ld %ld %ld", beginEdits, endEdits, automates);
    } else if (cmd == "quit") {
        CloseEditor();
        if (effect) Dispatch(vst::effClose);
        effect = nullptr;
        vst3.reset();
        Reply("bye");
        PostQuitMessage(0);
    } else {
        Reply("error unknown command '%s'", line.c_str());
    }
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kCommandMessage: {
        char* line = reinterpret_cast<char*>(lParam);
        if (effect || vst3) RunCommand(line);
        std::free(line);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTicksTimer) {
            KillTimer(window, kTicksTimer);
            Reply("ticks %ld", foreignTicks);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1; // the editor covers the whole client area
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Reads stdin line by line and hands each line to the window's thread.
DWORD WINAPI ReadCommands(LPVOID)
{
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        std::size_t n = std::strlen(line);
        while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = '\0';
        if (n == 0) continue;
        PostMessageA(hostWindow, kCommandMessage, 0, reinterpret_cast<LPARAM>(_strdup(line)));
    }
    PostMessageA(hostWindow, kCommandMessage, 0, reinterpret_cast<LPARAM>(_strdup("quit")));
    return 0;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "mg-editor-host: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY); // plain "\n" line ends for the script
    const bool dpiAware = argc == 3 && std::strcmp(argv[2], "--dpi-aware") == 0;
    if (argc != 2 && !dpiAware) return Fail("usage: mg-editor-host PLUGIN.dll|PLUGIN.vst3 [--dpi-aware]");
    if (dpiAware) MakeProcessDpiAware();

    const std::string path = argv[1];
    int width = 0, height = 0;
    if (path.size() > 5 && path.compare(path.size() - 5, 5, ".vst3") == 0) {
        try {
            vst3 = mg::host::LoadVst3Plugin(path, [](int, double) { ++automates; });
            vst3->Prepare(44100.0, 512, mg::host::SampleSize::Float);
        } catch (const mg::host::Failure& failure) {
            return Fail(failure.what());
        }
        if (!vst3->EditorSize(width, height)) return Fail("no editor size");
    } else {
        plugin = LoadLibraryA(argv[1]);
        if (!plugin) return Fail("cannot load the plug-in");
        auto entry =
            reinterpret_cast<vst::EntryProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "VSTPluginMain")));
        if (!entry) return Fail("no VSTPluginMain");
        effect = entry(&HostCallback);
        if (!effect || effect->magic != vst::kEffectMagic) return Fail("no effect");
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(vst::effSetBlockSize, 0, 512);

        vst::ERect* rect = nullptr;
        if (!Dispatch(vst::effEditGetRect, 0, 0, &rect) || !rect) return Fail("no editor rectangle");
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kHostClass;
    if (!RegisterClassA(&windowClass)) return Fail("cannot register the host window class");
    hostWindow = CreateWindowExA(0, kHostClass, "mg-editor-host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                                 height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!hostWindow) return Fail("cannot create the host window");

    if (!OpenEditor()) return Fail("the editor did not open");
    Pump(200);
    // The editor may have changed its size on opening (the display's scale).
    if (effect) {
        vst::ERect* rect = nullptr;
        if (!Dispatch(vst::effEditGetRect, 0, 0, &rect) || !rect) return Fail("no editor rectangle");
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    } else if (!vst3->EditorSize(width, height)) {
        return Fail("no editor size");
    }
    POINT origin{0, 0};
    ClientToScreen(hostWindow, &origin);
    Reply("ready %d %d %ld %ld", width, height, origin.x, origin.y);

    HANDLE reader = CreateThread(nullptr, 0, &ReadCommands, nullptr, 0, nullptr);
    if (!reader) return Fail("cannot start the command reader");
    CloseHandle(reader);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd != hostWindow) ++foreignTicks;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(hostWindow);
    if (plugin) FreeLibrary(plugin);
    return 0;
}
