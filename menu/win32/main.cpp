// NUVDM_Menu.exe: the menu's window, acting in the folder it was started in.
#include <filesystem>
#include <system_error>

#include "win32/window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::current_path(ec);
    nuv::win32::ShellFrontEnd frontEnd;
    nuv::win32::MenuWindow window(frontEnd, dir);
    if (!window.create(instance)) {
        MessageBoxA(nullptr, "The window could not be created.", nuv::kProgramTitle,
                    MB_OK | MB_ICONHAND);
        return 1;
    }
    frontEnd.setOwner(window.hwnd());
    return window.run(showCommand);
}
