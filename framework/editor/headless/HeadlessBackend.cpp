// The window backend of builds without a window system (tools, tests, and
// Linux builds without the X11 libraries): there is never a window, so the
// host is told there is no editor to show. The editor itself still draws,
// presents and records its value box (IEditorWindow).
#include "editor/IEditorWindow.h"

namespace mg {

namespace {

class HeadlessBackend final : public IWindowBackend {
public:
    WindowTraits Traits() const override { return {}; }
    bool Open(void*) override { return false; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    void* Handle() const override { return nullptr; }
    bool Present(const IBitmap&, const IRectangle&) override { return true; }
    bool Repaint(const IRectangle&) override { return false; }
    void Resize(int, int, int, int) override {}
    void Capture(bool) override {}
    bool OpenBox(const TextEntryPlan&, const IParameter&) override { return true; }
    void ShowBox() override {}
    bool ReadBox(char*, std::size_t) override { return false; }
    void CloseBox() override {}
    void* BoxHandle() const override { return nullptr; }
};

} // namespace

std::unique_ptr<IWindowBackend> MakeWindowBackend(IEditorWindow&)
{
    return std::make_unique<HeadlessBackend>();
}

} // namespace mg
