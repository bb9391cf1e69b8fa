// tamber-cli: Tamber's two conversions on the command line.
#include <iostream>
#include <string>
#include <vector>

#include "TamberCli.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    CTamberCli cli;
    return cli.Run(args, std::cout, std::cerr);
}
