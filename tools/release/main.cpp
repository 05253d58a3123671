#include "core/platform/Terminal.h"
#include "tools/release/ReleaseTool.h"

int main(int argc, char** argv) {
    // A progress line is for a person watching, not for a log.
    return ReleaseToolMain(argc, argv, stdout, stderr,
                           PlatformIsTerminal(stderr) ? stderr : nullptr);
}
