// rfh: the help file authoring tool. See rfh.cpp for its commands.
#include <cstdio>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "rfh.h"

int main(int argc, char** argv) {
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);  // "extract" writes entry bytes as they are
#endif
    return rfh::Run(argc, argv, stdout, stderr);
}
