// The pack tool's commands, callable in-process so tests run them without spawning a program:
//   build DIR OUT.pack
//   list FILE
//   extract PACK NAME.EXT OUT
//   index OUT [--big-endian] [--table] [--version-source FILE --version-text TEXT] ITEMS...
//   checksum FILE...
// Returns the process exit code: 0 on success, 1 on a failed command, 2 on bad usage.
#pragma once

#include <cstdio>

int PackToolMain(int argc, char** argv);
int PackToolMain(int argc, char** argv, FILE* out, FILE* err);
