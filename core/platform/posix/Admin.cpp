#include "core/platform/Admin.h"

#include <unistd.h>

// The administrator right matters on Windows because it lets the updater write into the
// installation directory; here that is the question itself.
bool PlatformIsUserAdmin() {
    return access(".", W_OK | X_OK) == 0;
}
