#include "tools/PackTool.h"

int main(int argc, char** argv) {
    return PackToolMain(argc, argv);
}
