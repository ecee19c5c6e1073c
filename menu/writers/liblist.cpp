#include "writers/liblist.h"

#include <initializer_list>

#include "form/form.h"
#include "writers/files.h"
#include "writers/lines.h"

namespace nuv {

namespace {

const char* const kGameUrl = "https://nuvdm.example.org/game";

// The build for Linux servers names in gamedll_linux the libraries the
// server has; the Windows engine ignores the key, and the Windows build
// writes it as the list always read.
constexpr bool kLinuxServer = NUVDM_LIBLIST_FOR_LINUX != 0;

// The first of the files (below the mod folder) that is there, else the first.
const char* firstPresent(const std::filesystem::path& dir, std::initializer_list<const char*> files) {
    for (const char* file : files) {
        std::error_code ec;
        if (std::filesystem::exists(dir / file, ec)) return file;
    }
    return *files.begin();
}

// Switching on, a Linux server must load Metamod's library (metamod_i386.so
// of Metamod-P and -R, or the older metamod.so); switching off, the game
// library (cs.so on today's servers, cs_i386.so on older ones).
const char* gamedllLinux(bool switchOn, const std::filesystem::path& dir) {
    if (!kLinuxServer) return "dlls/cs_i386.so";
    if (switchOn) return firstPresent(dir, {"addons/metamod/dlls/metamod_i386.so", "addons/metamod/dlls/metamod.so"});
    return firstPresent(dir, {"dlls/cs.so", "dlls/cs_i386.so"});
}

}  // namespace

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
    w.keyValue("gamedll_linux", gamedllLinux(switchOn, dir));
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
