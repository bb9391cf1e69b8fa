#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include <framework/Env.h>

#include "CorvaneTool.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    // The arguments in UTF-8 on every platform (Windows passes argv in its ANSI code page).
    const std::vector<std::string> args = Env::Arguments(argc, argv);
    std::vector<const char*> pointers{argc > 0 ? argv[0] : "corvane"};
    for (const std::string& str : args)
        pointers.push_back(str.c_str());
    CCorvaneTool tool(std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    const int nStatus = tool.Run(static_cast<int>(pointers.size()), pointers.data());
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "corvane: writing the output failed\n";
        return 1;
    }
    return nStatus;
}
