#include "cli/CORVProgressBar.h"
#include "cli/Stompset.h"
#include "ui/vstgui/CDrawContext.h"

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = RunStompset(args, std::cout, std::cerr, CORVProgressBar::ErrorIsTerminal());
    VSTGUI::ReleaseFontCaches();
    return status;
}
