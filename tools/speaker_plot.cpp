// Draws the magnitude response of every cabinet model, guitar and bass, as
// small multiples into one PNG:  speaker_plot [output.png] [sample rate]
#include "effects/drive/SpeakerStage.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <utility>

namespace {

constexpr int kColumns = 3;
constexpr int kPanelWidth = 420;
constexpr int kPanelHeight = 230;
constexpr int kHeader = 50;
constexpr double kMargin = 36.0;
constexpr double kLowHz = 20.0;
constexpr double kHighHz = 20000.0;
constexpr double kTopDb = 15.0;
constexpr double kBottomDb = -45.0;

struct Panel {
    double x, y, w, h; // the plot area inside a panel

    double X(double hz) const { return x + w * std::log(hz / kLowHz) / std::log(kHighHz / kLowHz); }
    double Y(double db) const { return y + h * (kTopDb - std::clamp(db, kBottomDb, kTopDb)) / (kTopDb - kBottomDb); }
};

void Text(cairo_t* cr, double x, double y, const std::string& text, double size)
{
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

void DrawGrid(cairo_t* cr, const Panel& p)
{
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    for (double decade : {20.0, 200.0, 2000.0})
        for (int k = 1; k <= 9; ++k)
            if (const double hz = decade / 2.0 * k; hz >= kLowHz && hz <= kHighHz) {
                cairo_move_to(cr, p.X(hz), p.y);
                cairo_line_to(cr, p.X(hz), p.y + p.h);
            }
    for (double db = kBottomDb; db <= kTopDb; db += 10.0) {
        cairo_move_to(cr, p.x, p.Y(db));
        cairo_line_to(cr, p.x + p.w, p.Y(db));
    }
    cairo_stroke(cr);

    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_rectangle(cr, p.x, p.y, p.w, p.h);
    cairo_stroke(cr);
    for (auto [hz, label] : {std::pair{100.0, "100"}, {1000.0, "1k"}, {10000.0, "10k"}})
        Text(cr, p.X(hz) - 8.0, p.y + p.h + 13.0, label, 10.0);
    for (double db = kBottomDb; db <= kTopDb; db += 10.0)
        Text(cr, p.x - 30.0, p.Y(db) + 3.0, std::to_string(int(db)), 10.0);
}

void DrawModel(cairo_t* cr, const Panel& p, const SpeakerStage& stage, const char* name)
{
    DrawGrid(cr, p);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    Text(cr, p.x, p.y - 6.0, name, 13.0);

    cairo_set_source_rgb(cr, 0.1, 0.3, 0.75);
    cairo_set_line_width(cr, 1.6);
    for (double hz = kLowHz; hz <= kHighHz; hz *= 1.004) {
        const double db = 20.0 * std::log10(std::abs(SpeakerResponse(stage, hz)));
        hz == kLowHz ? cairo_move_to(cr, p.X(hz), p.Y(db)) : cairo_line_to(cr, p.X(hz), p.Y(db));
    }
    cairo_stroke(cr);
}

} // namespace

int main(int argc, char** argv)
{
    const char* output = argc > 1 ? argv[1] : "speaker-responses.png";
    const float sampleRate = argc > 2 ? float(std::atof(argv[2])) : 48000.0f;

    struct Family {
        std::span<const SpeakerModel> models;
        size_t slots;
    };
    const Family families[] = {{GuitarSpeakerModels(), kWooferSlots}, {BassSpeakerModels(), SpeakerStage::kMaxSlots}};
    const size_t count = GuitarSpeakerModels().size() + BassSpeakerModels().size();
    const int rows = int((count + kColumns - 1) / kColumns);

    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kColumns * kPanelWidth, kHeader + rows * kPanelHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    char title[160];
    std::snprintf(title, sizeof title,
                  "Speaker simulator models: magnitude (dB) against frequency (Hz), %.0f Hz sample rate, volume 0 dB",
                  double(sampleRate));
    Text(cr, 12.0, 30.0, title, 16.0);

    size_t n = 0;
    for (const Family& family : families) {
        for (size_t m = 0; m < family.models.size(); ++m, ++n) {
            SpeakerStage stage(family.models, family.slots);
            stage.SetSampleRate(sampleRate);
            stage.SetModel(int32_t(m));
            stage.SetVolumeGain(1.0f);
            const double left = double(int(n) % kColumns * kPanelWidth);
            const double top = double(kHeader + int(n) / kColumns * kPanelHeight);
            const Panel panel{left + kMargin + 4.0, top + 26.0, kPanelWidth - kMargin - 20.0, kPanelHeight - 50.0};
            DrawModel(cr, panel, stage, family.models[m].name);
        }
    }

    const cairo_status_t status = cairo_surface_write_to_png(surface, output);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "speaker_plot: cannot write %s: %s\n", output, cairo_status_to_string(status));
        return 1;
    }
    return 0;
}
