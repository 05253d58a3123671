// Whether the program talks to a person at a terminal.
//
// Contract:
//   PlatformOutputIsTerminal()
//       true when standard output is a terminal (a console on Windows), where a line can be
//       rewritten in place; false for a file or a pipe.
#pragma once

bool PlatformOutputIsTerminal();
