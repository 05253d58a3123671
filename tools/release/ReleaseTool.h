// gamerelease, the studio's release tool, callable in-process so tests run it without spawning
// a program:
//   package OLD_DIR NEW_DIR --from V1 --to V2 --url BASE_URL --out SITE_DIR
//           [--name TEXT] [--list FILE] [--force]
//   check SITE_DIR_OR_LIST [--from V]
// Returns the process exit code: 0 on success, 1 on a failed command or a refused package, 2 on
// bad usage. progress, when not null, gets a progress line while large trees are read.
#pragma once

#include <cstdio>

int ReleaseToolMain(int argc, char** argv, FILE* out, FILE* err, FILE* progress);
