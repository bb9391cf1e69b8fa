#include <iostream>

#include <unistd.h>

#include "CorvaneTool.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    CCorvaneTool tool(std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    const int nStatus = tool.Run(argc, argv);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "corvane: writing the output failed\n";
        return 1;
    }
    return nStatus;
}
