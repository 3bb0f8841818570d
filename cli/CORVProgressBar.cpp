#include "cli/CORVProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

CORVProgressBar::CORVProgressBar(std::ostream& stream, std::string label, bool enabled)
    : stream_(stream), label_(std::move(label)), enabled_(enabled)
{
}

CORVProgressBar::~CORVProgressBar() { Finish(); }

bool CORVProgressBar::ErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

void CORVProgressBar::Update(int64_t done, int64_t total)
{
    if (!enabled_ || total <= 0)
        return;
    const int step = int(std::clamp<int64_t>(done * kSteps / total, 0, kSteps));
    if (step == lastStep_)
        return;
    lastStep_ = step;
    const int filled = step * kWidth / kSteps;
    char percent[16];
    std::snprintf(percent, sizeof percent, "%5.1f%%", double(step) * 100.0 / kSteps);
    stream_ << '\r' << label_ << " [" << std::string(size_t(filled), '#') << std::string(size_t(kWidth - filled), '.')
            << "] " << percent << std::flush;
    drawn_ = true;
}

void CORVProgressBar::Finish()
{
    if (!drawn_)
        return;
    // Carriage return, then erase to the end of the line.
    stream_ << "\r\033[K" << std::flush;
    drawn_ = false;
}
