// Whether a stream is shown to a person.
//
// Contract:
//   PlatformIsTerminal(stream)
//       true when stream is connected to an interactive terminal or console; false for files,
//       pipes and anything else, so that progress lines stay out of logs. stream must not be
//       null.
#pragma once

#include <cstdio>

bool PlatformIsTerminal(FILE* stream);
