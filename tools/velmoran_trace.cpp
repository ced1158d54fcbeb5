// velmoran-trace: runs a draw command without a window and prints every call
// it makes on the drawing surface.

#include <cstdio>

#include "tools/trace_run.hpp"

int main(int argc, char** argv)
{
    return velmoran::traceMain(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
}
