#pragma once
#include <cstdint>
#include <ostream>
#include <string>

// A one-line progress bar redrawn in place, for a terminal only: written to
// a pipe or a log it would be noise, so it is then silent.
class CORVProgressBar {
public:
    CORVProgressBar(std::ostream& stream, std::string label, bool enabled);
    ~CORVProgressBar();

    void Update(int64_t done, int64_t total);
    // Clears the line so the next output starts on a clean one.
    void Finish();

    // True when standard error is a terminal.
    static bool ErrorIsTerminal();

private:
    static constexpr int kWidth = 30;
    static constexpr int kSteps = 1000; // redraws only when a tenth of a percent passes

    std::ostream& stream_;
    std::string label_;
    bool enabled_;
    bool drawn_ = false;
    int lastStep_ = -1;
};
