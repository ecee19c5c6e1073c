// NUVDM_Menu.exe: the menu's window, acting in the folder it was started in.
#include <objbase.h>

#include <filesystem>
#include <system_error>

#include "win32/window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // The shell's "open" may hand the address to COM-based handlers.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::current_path(ec);
    nuv::win32::ShellFrontEnd frontEnd;
    nuv::win32::MenuWindow window(frontEnd, dir);
    if (!window.create(instance)) {
        MessageBoxA(nullptr, "The window could not be created.", nuv::kProgramTitle,
                    MB_OK | MB_ICONHAND);
        if (SUCCEEDED(com)) CoUninitialize();
        return 1;
    }
    frontEnd.setOwner(window.hwnd());
    const int code = window.run(showCommand);
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
