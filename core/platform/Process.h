// Starting another program.
//
// Contract:
//   PlatformStartProgram(path, parameter)
//       starts the program at path and does not wait for it. A relative path is taken from the
//       current directory, which the new program also gets as its working directory.
//       Windows: ShellExecuteA with no owner window, the default verb, parameter as the
//       parameters, an empty directory and SW_SHOW; true when the shell reports success.
//       Other targets: a new process whose one argument is parameter, with default signal
//       handling and nothing blocked (whatever the caller blocked); true when it was started.
#pragma once

bool PlatformStartProgram(const char* path, const char* parameter);
