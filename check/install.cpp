#include "install.h"

namespace nuvcheck {

Report checkInstall(const Options& options) {
    Report report;
    report.folder = options.folder;
    Install in(options, report);
    if (!findModFolder(in)) return report;
    checkLibList(in);
    checkMetamodList(in);
    checkStandalone(in);
    checkMenu(in);
    checkMapFiles(in);
    return report;
}

}  // namespace nuvcheck
