// The library's start-up hook. Windows hands it the DLL's own instance handle
// with every notification; the editor loads the pedal's images from that
// module's resources, so the handle is kept for it.
#include "platform/WindowsApi.h"

#include "PluginModule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reason;
    (void)reserved;
    mg::RecordPluginModule(instance);
    return TRUE;
}
