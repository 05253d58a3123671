// Whether the process holds the rights the updater needs to change the installation.
//
// Contract:
//   PlatformIsUserAdmin()
//       Windows: whether the calling thread's effective token is a member of the built-in
//       Administrators group; false when the group's identifier cannot be built or the test
//       fails. Other targets: whether the process may create and replace files in the current
//       directory (the installation directory), which is what the administrator right secures
//       on Windows.
#pragma once

bool PlatformIsUserAdmin();
