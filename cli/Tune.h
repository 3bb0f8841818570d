#pragma once
#include "cli/Render.h"

#include <functional>
#include <string>

// What `stompset tune` does: the tuner effect listening to a file, one
// reading per analysis frame.

struct TuneRequest {
    std::string inputPath;
    double a4 = 440.0; // the reference pitch, Hz
};

struct TunerFrameReading {
    double seconds = 0.0; // the end of the analysed frame, from the start of the file
    bool heard = false;   // a pitch was found; the rest is empty otherwise
    std::string note;     // "A 4"
    double frequency = 0.0;
    double deviation = 0.0; // 50 units to a neighbouring note
};

using TunerReadingSink = std::function<void(const TunerFrameReading&)>;

// Streams the file through the tuner, mono or stereo as it is, and hands
// every frame's reading to the sink.  Failures throw a CliError.  Returns
// the number of frames analysed.
int64_t TuneFile(const TuneRequest& request, const TunerReadingSink& sink, const RenderProgress& progress = {});

// The column titles and one reading, aligned the same way.
std::string TuneHeading();
std::string FormatReading(const TunerFrameReading& reading);
