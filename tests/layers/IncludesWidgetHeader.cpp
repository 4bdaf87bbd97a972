// SPDX-License-Identifier: GPL-3.0-or-later
// Never builds: the core and mobrin-cli's library publish no widget folder, so this include is
// a compile error for any file on their side of the wall. tests/CMakeLists.txt checks that it
// stays one.
#include "DumpView.h"

int main() {
    return 0;
}
