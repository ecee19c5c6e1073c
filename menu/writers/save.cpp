#include "writers/save.h"

#include "writers/csdm_files.h"
#include "writers/files.h"
#include "writers/liblist.h"
#include "writers/userconfig.h"

namespace nuv {

namespace {

const char* const kUserConfig = "dm_userconfig.cfg";
const char* const kGameConfig = "config.cfg";

SaveOutcome reportFailure(Form& form, const WriteError& error) {
    const std::string text = "Could not write " + error.file.string() + ": " + error.reason;
    form.setStatus(text, kRed);
    form.frontEnd().messageBox(kProgramTitle, text, MessageStyle::Exclamation);
    return SaveOutcome::Failed;
}

SaveOutcome gateFailure(Form& form, bool userConfigFound) {
    const auto& dir = form.directory();
    if (!form.selected("nuvdm_disable")) {
        form.setStatus("Menu ERROR #002", kRed);
        return SaveOutcome::Refused;
    }
    if (!userConfigFound) {
        form.setStatus(
            "Menu has not been installed correctly. NUVDM_MENU.exe has to be under: "
            "'Steam\\steamapps\\YOUREMAIL\\Counter-Strike\\Cstrike'",
            kRed);
        form.frontEnd().messageBox(dir.string(), "NUV DM HAS NOT BEEN DISABLED - READ STATUS INFO",
                                   MessageStyle::Exclamation);
        return SaveOutcome::Refused;
    }
    WriteError error;
    if (!writeTextFile(modFile(dir, "liblist.gam"), libListText(false, dir), error))
        return reportFailure(form, error);
    form.frontEnd().messageBox(
        kProgramTitle,
        "NUV DM HAS BEEN DISABLED. FOR FULL DEINSTALLATION DELETE THE ADDONS FOLDER AND THE "
        "DM_USERCONFIG.CFG AND MOTD.TXT FILES UNDER YOUR CSTRIKE FOLDER. - CYA SOON :-]",
        MessageStyle::Plain);
    return SaveOutcome::Disabled;
}

SaveOutcome run(Form& form) {
    const auto& dir = form.directory();
    const bool userConfigFound = listedExactly(dir, kUserConfig);
    const bool gameConfigFound = listedExactly(dir, kGameConfig);
    if (!form.checked("nuvdm") || !userConfigFound || !gameConfigFound)
        return gateFailure(form, userConfigFound);

    WriteError error;
    if (!writeTextFile(modFile(dir, kUserConfig), userConfigText(form, dir), error))
        return reportFailure(form, error);
    if (!writeTextFile(modFile(dir, "liblist.gam"), libListText(true, dir), error))
        return reportFailure(form, error);
    const EnableFiles enable = enableFilesText(form);
    if (enable.write) {
        if (!writeTextFile(modFile(dir, "addons\\nuv\\dm_enable.cfg"), enable.plain, error))
            return reportFailure(form, error);
        if (!writeTextFile(modFile(dir, "addons\\nuv\\dm_enable_ffa.cfg"), enable.ffa, error))
            return reportFailure(form, error);
    }
    if (!writeCsdmFiles(form, dir, error)) return reportFailure(form, error);

    if (form.checked("autostart"))
        form.setStatus(
            "Settings loaded correctly. Start a New Game (local LAN Server) and choose your map. "
            "Game should start automaticly.",
            kGreen);
    else
        form.setStatus(
            "Settings loaded correctly. Start a New Game (local LAN Server) and then type "
            "'<dm_x>' into your CS1.6 Console to start NUV MOD",
            kGreen);
    return SaveOutcome::Written;
}

}  // namespace

SaveOutcome save(Form& form) {
    const SaveOutcome outcome = run(form);
    form.setLastSave(outcome);
    return outcome;
}

}  // namespace nuv
