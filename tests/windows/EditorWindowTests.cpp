// The Windows window part, in the process: the pedal's editor opened in a
// window of the test's own, driven with window messages. Runs under wine
// with a display (scripts/test-windows.sh); the images come from this
// program's resources, as they come from the DLL's in a host.
#include "platform/WindowsApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "MarrowGrit.h"
#include "PluginModule.h"
#include "editor/IEditorWindow.h"
#include "editor/win32/Win32Backend.h"
#include "vst/VstEntry.h"

namespace mg {
namespace {

constexpr const char* kTestWindowClass = "MgEditorWindowTests";

vst::intptr VST_CALL QuietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float)
{
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void RegisterTestWindowClass()
{
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTestWindowClass;
    registered = RegisterClassA(&windowClass) != 0;
}

bool ClassRegistered()
{
    WNDCLASSA info{};
    return GetClassInfoA(GetModuleHandleA(nullptr), IEditorWindow::kWindowClassName, &info) != 0;
}

std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// Answers the next modal dialog of the process (a message box or a common
// dialog) from another thread, as a user would: it waits for the dialog,
// notes its title, and presses the button `answer`. Then it watches a little
// longer for a second dialog, which it notes and cancels.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int answer) : answer_(answer)
    {
        thread_ = CreateThread(nullptr, 0, &DialogAnswerer::Run, this, 0, nullptr);
    }
    ~DialogAnswerer()
    {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Waits for the thread; the title of the first dialog and how many came.
    void Finish() { WaitForSingleObject(thread_, 10000); }
    const std::string& Title() const { return title_; }
    int Count() const { return count_; }

private:
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found)
    {
        if (IsWindowVisible(window) && ClassOf(window) == "#32770") {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId()) {
                *reinterpret_cast<HWND*>(found) = window;
                return FALSE;
            }
        }
        return TRUE;
    }

    static HWND WaitForDialog(DWORD ms)
    {
        for (DWORD waited = 0; waited < ms; waited += 20) {
            HWND found = nullptr;
            EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&found));
            if (found) return found;
            Sleep(20);
        }
        return nullptr;
    }

    static DWORD WINAPI Run(LPVOID self)
    {
        auto* me = static_cast<DialogAnswerer*>(self);
        HWND dialog = WaitForDialog(8000);
        if (!dialog) return 0;
        me->count_ = 1;
        me->title_ = TextOf(dialog);
        Sleep(100); // let it finish setting up
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(me->answer_, BN_CLICKED), 0);
        for (DWORD waited = 0; waited < 2000 && IsWindow(dialog); waited += 20) Sleep(20);
        if (HWND second = WaitForDialog(500)) {
            ++me->count_;
            PostMessageA(second, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        return 0;
    }

    int answer_;
    HANDLE thread_ = nullptr;
    std::string title_;
    int count_ = 0;
};

class EditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // This program holds the pedal's images, as the DLL does in a host.
        RecordPluginModule(GetModuleHandleA(nullptr));
        effect_ = CreateVstInstance<MarrowGrit>(&QuietHost);
        ASSERT_NE(effect_, nullptr);
        Dispatch(vst::effOpen);
        editor_ = static_cast<IEditorWindow*>(static_cast<MarrowGrit*>(effect_->object)->EditorGraphics());
        ASSERT_NE(editor_, nullptr);
        ASSERT_NE(host_, nullptr);
    }

    void TearDown() override
    {
        if (effect_) Dispatch(vst::effClose);
        EXPECT_EQ(Win32Backend::OpenWindowCount(), 0);
        EXPECT_FALSE(ClassRegistered());
        ReleaseCapture();
    }

    // One host window for all tests (wine takes a while to map and unmap a
    // top-level window), away from the screen's corner, so that screen and
    // window positions differ.
    static void SetUpTestSuite()
    {
        RegisterTestWindowClass();
        host_ = CreateWindowExA(0, kTestWindowClass, "host", WS_POPUP | WS_VISIBLE, 40, 30, 400, 400, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(host_); }

    vst::intptr Dispatch(vst::int32 opcode, vst::intptr value = 0, void* ptr = nullptr)
    {
        return effect_->dispatcher(effect_, opcode, 0, value, ptr, 0.0f);
    }

    // Opens the editor in the host window and lets it paint, as it would
    // before a user can reach it.
    HWND Open()
    {
        EXPECT_EQ(Dispatch(vst::effEditOpen, 0, host_), 1);
        Pump(100);
        return static_cast<HWND>(editor_->WindowHandle());
    }

    float Parameter(int index) { return effect_->getParameter(effect_, index); }

    // One tick of the editor's timer.
    void Tick() { SendMessageA(static_cast<HWND>(editor_->WindowHandle()), WM_TIMER, Win32Backend::kTimerId, 0); }

    static void Pump(DWORD ms)
    {
        const DWORD start = GetTickCount();
        MSG msg;
        do {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(5);
        } while (GetTickCount() - start < ms);
    }

    vst::AEffect* effect_ = nullptr;
    IEditorWindow* editor_ = nullptr;
    static HWND host_;
};

HWND EditorWindowTest::host_ = nullptr;

TEST_F(EditorWindowTest, OpensAVisibleChildOfTheEditorsSizeAndClosesIt)
{
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(editor_->IsWindowOpen());
    EXPECT_EQ(GetParent(window), host_);
    EXPECT_EQ(ClassOf(window), IEditorWindow::kWindowClassName);
    EXPECT_EQ(TextOf(window), "Marrow-Grit");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE((style & WS_CHILD) && (style & WS_VISIBLE));
    RECT r{};
    GetClientRect(window, &r);
    EXPECT_EQ(r.right, 213);
    EXPECT_EQ(r.bottom, 326);
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 1);
    EXPECT_TRUE(ClassRegistered());
    // The timer is set up at creation: the first tick comes within a frame or two.
    Pump(150);

    EXPECT_EQ(Dispatch(vst::effEditClose), 1);
    EXPECT_FALSE(editor_->IsWindowOpen());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 0);
    EXPECT_FALSE(ClassRegistered());
}

TEST_F(EditorWindowTest, OpeningAgainRecreatesTheWindowWhereItWas)
{
    HWND first = Open();
    ASSERT_NE(first, nullptr);
    SetWindowPos(first, nullptr, 12, 7, 200, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    HWND second = static_cast<HWND>(editor_->OpenEditorWindow(host_));
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    RECT r{};
    GetWindowRect(second, &r);
    POINT origin{r.left, r.top};
    ScreenToClient(host_, &origin);
    EXPECT_EQ(origin.x, 12);
    EXPECT_EQ(origin.y, 7);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 1);
}

TEST_F(EditorWindowTest, FailedCreationLeavesTheClassCountAsItWas)
{
    // No such parent window: a child window cannot be made.
    EXPECT_EQ(Dispatch(vst::effEditOpen, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(0x7ABC))), 0);
    EXPECT_FALSE(editor_->IsWindowOpen());
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 0);
    EXPECT_FALSE(ClassRegistered());
}

TEST_F(EditorWindowTest, TwoEditorsShareTheWindowClass)
{
    vst::AEffect* other = CreateVstInstance<MarrowGrit>(&QuietHost);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(other->dispatcher(other, vst::effEditOpen, 0, 0, host_, 0.0f), 1);
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 2);
    other->dispatcher(other, vst::effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 1);
    EXPECT_TRUE(ClassRegistered());
    // Closing the instance closes its open window.
    ASSERT_EQ(other->dispatcher(other, vst::effEditOpen, 0, 0, host_, 0.0f), 1);
    other->dispatcher(other, vst::effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 1);
    Dispatch(vst::effEditClose);
}

TEST_F(EditorWindowTest, CloseMessageClosesTheEditor)
{
    HWND window = Open();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(editor_->IsWindowOpen());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Win32Backend::OpenWindowCount(), 0);
}

TEST_F(EditorWindowTest, WheelPositionsAreTakenFromTheScreen)
{
    HWND window = Open();
    // Over the Level knob (50, 118 in the editor); the message carries
    // screen coordinates.
    POINT knob{50, 118};
    ClientToScreen(window, &knob);
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), Point(knob.x, knob.y));
    EXPECT_NEAR(Parameter(MarrowGrit::kLevel), 0.52, 1e-6);
    // Less than a notch does nothing.
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-100)), Point(knob.x, knob.y));
    EXPECT_NEAR(Parameter(MarrowGrit::kLevel), 0.52, 1e-6);
    // The same position in window coordinates is elsewhere on the screen: no knob there.
    SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), Point(50, 118));
    EXPECT_NEAR(Parameter(MarrowGrit::kLevel), 0.52, 1e-6);
}

TEST_F(EditorWindowTest, DragNeedsTheCaptureAndReleaseEndsIt)
{
    HWND window = Open();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(50, 118));
    EXPECT_EQ(GetCapture(), window);
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(50, 98));
    const float dragged = Parameter(MarrowGrit::kLevel);
    EXPECT_GT(dragged, 0.5f);
    SendMessageA(window, WM_LBUTTONUP, 0, Point(50, 98));
    EXPECT_EQ(GetCapture(), nullptr);
    // Without the capture a move with the button held does nothing.
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(50, 60));
    EXPECT_EQ(Parameter(MarrowGrit::kLevel), dragged);
}

TEST_F(EditorWindowTest, DoubleClickOnTheFootswitchCapturesTheMouse)
{
    HWND window = Open();
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(100, 192));
    EXPECT_EQ(GetCapture(), window);
    SendMessageA(window, WM_LBUTTONUP, 0, Point(100, 192));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditorWindowTest, ReturnInTheBoxCommitsTheTypedValue)
{
    HWND window = Open();
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 118));
    SendMessageA(window, WM_RBUTTONUP, 0, Point(50, 118));
    HWND box = static_cast<HWND>(editor_->TextEntryWindow());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetParent(box), window);
    EXPECT_STRCASEEQ(ClassOf(box).c_str(), "Edit");
    EXPECT_EQ(GetDlgCtrlID(box), Win32Backend::kTextEntryId);
    EXPECT_EQ(TextOf(box), "0.500");
    // Centred on the 65 x 65 knob at 18, 86, its size.
    RECT r{};
    GetWindowRect(box, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 18);
    EXPECT_EQ(r.top, 86);
    EXPECT_EQ(r.right - r.left, 65);
    EXPECT_EQ(r.bottom - r.top, 65);

    SetWindowTextA(box, "0.75");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(editor_->CurrentTextEntryState(), TextEntryState::Commit);
    Tick();
    EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_NEAR(Parameter(MarrowGrit::kLevel), 0.75, 1e-6);
}

TEST_F(EditorWindowTest, TextThatIsNoNumberCommitsZero)
{
    HWND window = Open();
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 118));
    HWND box = static_cast<HWND>(editor_->TextEntryWindow());
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "loud");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    Tick();
    EXPECT_EQ(Parameter(MarrowGrit::kLevel), 0.0f);
}

TEST_F(EditorWindowTest, WhileTheBoxHasFocusTheEditorStandsStillUntilARightClick)
{
    HWND window = Open();
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 118));
    SendMessageA(window, WM_RBUTTONUP, 0, Point(50, 118));
    HWND box = static_cast<HWND>(editor_->TextEntryWindow());
    ASSERT_NE(box, nullptr);
    SetFocus(box);
    EXPECT_EQ(editor_->CurrentTextEntryState(), TextEntryState::Focused);
    // Ticks and presses pass the editor by.
    Tick();
    Tick();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(100, 192));
    EXPECT_NE(GetCapture(), window);
    EXPECT_EQ(editor_->TextEntryWindow(), box);
    // A right-button press anywhere cancels, and is not routed to a control.
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(150, 118));
    EXPECT_EQ(editor_->CurrentTextEntryState(), TextEntryState::Cancel);
    Tick();
    EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_NEAR(Parameter(MarrowGrit::kLevel), 0.5, 1e-6);
    EXPECT_NEAR(Parameter(MarrowGrit::kAttack), 0.5, 1e-6);
}

TEST_F(EditorWindowTest, TheBoxFollowsTheValueItEdits)
{
    HWND window = Open();
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 118));
    HWND box = static_cast<HWND>(editor_->TextEntryWindow());
    ASSERT_NE(box, nullptr);
    effect_->setParameter(effect_, MarrowGrit::kLevel, 0.25f);
    Tick(); // redraws the knob, asks the box for new text
    EXPECT_EQ(editor_->CurrentTextEntryState(), TextEntryState::Refresh);
    Tick();
    EXPECT_EQ(TextOf(box), "0.250");
    EXPECT_EQ(editor_->CurrentTextEntryState(), TextEntryState::None);
}

TEST_F(EditorWindowTest, AChoiceParameterGetsAListOfItsTexts)
{
    HWND window = Open();
    // The cabinet switch: 40 x 40 at 80, 61.
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(100, 81));
    HWND box = static_cast<HWND>(editor_->TextEntryWindow());
    ASSERT_NE(box, nullptr);
    EXPECT_STRCASEEQ(ClassOf(box).c_str(), "ComboBox");
    ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 2);
    char text[32] = {};
    SendMessageA(box, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Off");
    SendMessageA(box, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "On");
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 1);
    // Hanging from the control's centre, 8 x 3 + 24 wide.
    RECT r{};
    GetWindowRect(box, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 100 - 24);
    EXPECT_EQ(r.top, 81);
    EXPECT_EQ(r.right - r.left, 48);

    // The user picks "Off": the list tells the box of the new selection.
    SendMessageA(box, CB_SETCURSEL, 0, 0);
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(0, 1), 0);
    EXPECT_EQ(editor_->CurrentTextEntryState(), TextEntryState::Commit);
    Tick();
    EXPECT_EQ(editor_->TextEntryWindow(), nullptr);
    EXPECT_EQ(Parameter(MarrowGrit::kCabinet), 0.0f);
}

TEST_F(EditorWindowTest, ClosingWithTheBoxOpenForgetsTheBox)
{
    HWND window = Open();
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 118));
    HWND box = static_cast<HWND>(editor_->TextEntryWindow());
    ASSERT_NE(box, nullptr);
    Dispatch(vst::effEditClose);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(editor_->TextEntryOpen());
    // And a new box can open in the new window.
    window = Open();
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 118));
    EXPECT_NE(editor_->TextEntryWindow(), nullptr);
}

TEST_F(EditorWindowTest, ResizingGrowsTheWindowAndTwoHostWindowsAroundIt)
{
    // The host's window holds a frame that holds a panel that holds the editor.
    auto child = [](HWND parent, int w, int h) {
        return CreateWindowExA(0, kTestWindowClass, "", WS_CHILD | WS_VISIBLE, 2, 2, w, h, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    HWND frame = child(host_, 380, 380);
    HWND panel = child(frame, 300, 350);
    ASSERT_TRUE(frame && panel);
    ASSERT_EQ(Dispatch(vst::effEditOpen, 0, panel), 1);
    HWND window = static_cast<HWND>(editor_->WindowHandle());
    editor_->ResizeEditor(213 + 20, 326 + 10);
    auto size = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return std::pair<long, long>(r.right - r.left, r.bottom - r.top);
    };
    EXPECT_EQ(size(window), (std::pair<long, long>(233, 336)));
    EXPECT_EQ(size(panel), (std::pair<long, long>(320, 360)));
    EXPECT_EQ(size(frame), (std::pair<long, long>(400, 390)));
    // Two levels up and no further.
    EXPECT_EQ(size(host_), (std::pair<long, long>(400, 400)));
    EXPECT_EQ(editor_->DrawSurface()->Width(), 233);
    Dispatch(vst::effEditClose);
    DestroyWindow(frame);
}

TEST_F(EditorWindowTest, TextIsDrawnOnTheDrawSurface)
{
    ITextStyle style;
    style.colour = IColourARGB{255, 255, 255, 0};
    const IRectangle box{20, 20, 120, 50};
    auto count = [&](std::uint32_t colour) {
        int n = 0;
        const IBitmap* surface = editor_->DrawSurface();
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                if ((surface->Pixels()[y * surface->RowSpan() + x] & 0xFFFFFF) == colour) ++n;
        return n;
    };
    const int before = count(0xFFFF00);
    EXPECT_TRUE(editor_->DrawTextInBox(style, "GAIN", box));
    EXPECT_GT(count(0xFFFF00), before);
    // A later call with another colour uses it.
    style.colour = IColourARGB{255, 0, 255, 255};
    EXPECT_TRUE(editor_->DrawTextInBox(style, "GAIN", IRectangle{20, 20, 120, 50}));
    EXPECT_GT(count(0x00FFFF), 0);
    EXPECT_TRUE(editor_->DrawTextInBox(style, nullptr, box));
}

TEST_F(EditorWindowTest, ModulePathsAreFoldersWithTheirBackslash)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string folder = exe;
    folder.erase(folder.rfind('\\') + 1);
    char out[256] = {};
    editor_->HostExecutablePath(out, sizeof out);
    EXPECT_EQ(out, folder);
    // The module with the images is this program here.
    editor_->PluginFilePath(out, sizeof out);
    EXPECT_EQ(out, folder);
}

TEST_F(EditorWindowTest, ColourChooserTakesTheUsersColour)
{
    IColourARGB colour{128, 10, 20, 30};
    EXPECT_FALSE(editor_->PromptForColour(colour, "Pick")); // no window yet
    Open();
    {
        DialogAnswerer user(IDOK);
        EXPECT_TRUE(editor_->PromptForColour(colour, "LED colour"));
        user.Finish();
        EXPECT_EQ(user.Title(), "LED colour");
    }
    // Confirmed unchanged: the dialog started from the colour; alpha is kept.
    EXPECT_EQ(colour, (IColourARGB{128, 10, 20, 30}));
    {
        DialogAnswerer user(IDCANCEL);
        EXPECT_FALSE(editor_->PromptForColour(colour, nullptr));
    }
}

TEST_F(EditorWindowTest, FileChooserCancelledGivesNoPath)
{
    char path[256] = "stale";
    editor_->PromptForFile(path, sizeof path, 0, "", "wav");
    EXPECT_STREQ(path, ""); // no window
    Open();
    for (int action : {0, 1}) {
        std::strcpy(path, "stale");
        DialogAnswerer user(IDCANCEL);
        editor_->PromptForFile(path, sizeof path, action, "", "wav");
        user.Finish();
        EXPECT_EQ(user.Count(), 1) << action;
        EXPECT_STREQ(path, "") << action;
    }
}

TEST_F(EditorWindowTest, ADeclinedLinkIsNotOpenedAndShowsNoError)
{
    Open();
    DialogAnswerer user(IDNO);
    EXPECT_FALSE(editor_->OpenLink("http://127.0.0.1/", "Visit", "Open the maker's page?", "No connection"));
    user.Finish();
    EXPECT_EQ(user.Title(), "Visit");
    EXPECT_EQ(user.Count(), 1);
}

} // namespace
} // namespace mg
