// Path helpers of the OS seam, shared by every platform.
#include <string.h>

#include "os/os.h"

namespace os {

bool joinPath(char* out, size_t size, const char* a, const char* b) {
    if (!out || size == 0) return false;
    if (!a) a = "";
    if (!b) b = "";
    size_t used = 0;
    bool whole = true;
    auto put = [&](char c) {
        if (used + 1 < size) {
            out[used++] = c;
        } else {
            whole = false;
        }
    };
    for (const char* p = a; *p; ++p) put(*p);
    size_t lenA = strlen(a);
    bool endsWithSeparator = lenA > 0 && (a[lenA - 1] == '/' || a[lenA - 1] == '\\');
    if (lenA > 0 && *b && !endsWithSeparator) put(pathSeparator());
    for (const char* p = b; *p; ++p) put(*p);
    out[used] = '\0';
    return whole;
}

void toNativeSeparators(char* path) {
    if (!path) return;
    for (char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') *p = pathSeparator();
}

}  // namespace os
