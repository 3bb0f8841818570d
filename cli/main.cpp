#include "cli/CORVProgressBar.h"
#include "cli/Stompset.h"

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunStompset(args, std::cout, std::cerr, CORVProgressBar::ErrorIsTerminal());
}
