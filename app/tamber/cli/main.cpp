// tamber-cli: Tamber's two conversions on the command line.
#include <iostream>
#include <string>
#include <vector>

#include "TamberCli.h"

#include <framework/Env.h>

int main(int argc, char** argv)
{
    const std::vector<std::string> args = Env::Arguments(argc, argv);
    CTamberCli cli;
    return cli.Run(args, std::cout, std::cerr);
}
