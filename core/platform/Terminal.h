// Whether a stream is shown to a person, and how wide its lines are.
//
// Contract:
//   PlatformIsTerminal(stream)
//       true when stream is connected to an interactive terminal or console; false for files,
//       pipes and anything else, so that progress lines stay out of logs. stream must not be
//       null.
//   PlatformTerminalColumns(stream)
//       the characters a line of the terminal (or console window) behind stream holds now; 0
//       when stream is no terminal or the width is unknown. stream must not be null.
#pragma once

#include <cstdio>

bool PlatformIsTerminal(FILE* stream);
int PlatformTerminalColumns(FILE* stream);
