#include "writers/liblist.h"

#include "form/form.h"
#include "writers/files.h"
#include "writers/lines.h"

namespace nuv {

// A Linux server reads gamedll_linux; to load the pack it must name
// Metamod's Linux library. The Windows engine ignores the key.
#if defined(_WIN32)
const char* const kGamedllLinuxOn = "dlls/cs_i386.so";
#else
const char* const kGamedllLinuxOn = "addons/metamod/dlls/metamod_i386.so";
#endif

namespace {
const char* const kGameUrl = "https://nuvdm.example.org/game";
}

std::string libListText(bool switchOn, const std::filesystem::path& dir) {
    LineWriter w;
    w.keyValue("game", "Counter-Strike");
    w.keyValue("url_info", kGameUrl);
    w.keyValue("url_dl", "");
    w.keyValue("version", "1.6");
    w.keyValue("Size", "184000000");
    w.keyValue("svonly", "0");
    w.keyValue("secure", "1");
    w.keyValue("type", "multiplayer_only");
    w.keyValue("cldll", "1");
    w.keyValue("hlversion", "1111");
    w.keyValue("nomodels", "1");
    w.keyValue("nohimodel", "1");
    w.keyValue("mpentity", "info_player_start");
    w.keyValue("gamedll", switchOn ? "addons\\metamod\\dlls\\metamod.dll" : "dlls\\mp.dll");
    w.keyValue("gamedll_linux", switchOn ? kGamedllLinuxOn : "dlls/cs_i386.so");
    w.keyValue("trainmap", "tr_1");
    if (switchOn)
        w.footer(" next to " + fullPath(dir, "dm_userconfig.cfg"));
    else
        w.footer();
    return w.text();
}

namespace {

std::string enableText(bool csdmOn, bool ffaOn) {
    LineWriter w;
    w.plain(csdmOn ? "csdm_enable" : "csdm_disable");
    w.keyValue("mp_fadetoblack", csdmOn ? "1" : "0");
    for (int i = 0; i < 3; ++i) w.plain(ffaOn ? "csdm_ffa_enable" : "csdm_ffa_disable");
    w.keyValue("mp_friendlyfire", ffaOn ? "1" : "0");
    w.footer();
    return w.text();
}

}  // namespace

EnableFiles enableFilesText(const Form& form) {
    const bool csdm = form.checked("csdm"), ffa = form.checked("ffa");
    EnableFiles files;
    if (!csdm && ffa) return files;
    files.write = true;
    files.plain = enableText(csdm, false);
    files.ffa = csdm && ffa ? enableText(true, true) : files.plain;
    return files;
}

}  // namespace nuv
