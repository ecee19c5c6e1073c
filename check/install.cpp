#include "install.h"

namespace nuvcheck {

namespace {

void runChecks(Install& in) {
    in.report.folder = in.options.folder;
    if (!findModFolder(in)) return;
    checkLibList(in);
    checkMetamodList(in);
    checkStandalone(in);
    checkMenu(in);
    checkMapFiles(in);
}

}  // namespace

Report checkInstall(const Options& options) {
    Report first;
    Install in(options, first);
    runChecks(in);
    if (!options.fix) return first;
    Report report;
    report.changes = applyMends(in);
    Install again(options, report);
    runChecks(again);
    return report;
}

}  // namespace nuvcheck
