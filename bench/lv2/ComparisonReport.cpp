#include "bench/lv2/ComparisonReport.h"

#include <array>

namespace lv2bench {
namespace {

constexpr const char* kNoFigure = "—";
constexpr const char* kPassThroughMark = "†";

static_assert(kBlockLengths.size() == 2, "the tables have a column pair per block length");

std::string Figure(double realTime)
{
    char text[32];
    std::snprintf(text, sizeof text, realTime >= 100.0 ? "%.0f" : realTime >= 10.0 ? "%.1f" : "%.2f", realTime);
    return text;
}

std::string FigureOf(const Measurement& measurement, size_t block)
{
    return measurement.valid ? Figure(measurement.realTime[block]) : kNoFigure;
}

// The fastest peer at one block length; null without peers.
const Measurement* FastestPeer(const ComparisonRow& row, size_t block)
{
    const Measurement* fastest = nullptr;
    for (const Measurement& peer : row.peers)
        if (!fastest || peer.realTime[block] > fastest->realTime[block])
            fastest = &peer;
    return fastest;
}

void PrintPluginLine(std::FILE* out, const std::string& effect, const Measurement& measurement, bool ours)
{
    const std::string name = measurement.name + (ours ? " (ours)" : "") +
                             (measurement.changesSignal ? "" : std::string(" ") + kPassThroughMark);
    std::fprintf(out, "| %s | %s | %u | %s | %s |\n", effect.c_str(), name.c_str(), measurement.instances,
                 FigureOf(measurement, 0).c_str(), FigureOf(measurement, 1).c_str());
}

void PrintDetails(std::FILE* out, const std::vector<ComparisonRow>& rows)
{
    std::fprintf(out, "| Effect | Plug-in | Instances | ×RT @ %u | ×RT @ %u |\n", kBlockLengths[0], kBlockLengths[1]);
    std::fprintf(out, "|---|---|--:|--:|--:|\n");
    for (const ComparisonRow& row : rows) {
        if (row.ours.valid)
            PrintPluginLine(out, row.shortName, row.ours, true);
        else
            std::fprintf(out, "| %s | ours: %s | | | |\n", row.shortName.c_str(), row.ours.failure.c_str());
        for (const Measurement& peer : row.peers)
            PrintPluginLine(out, row.shortName, peer, false);
    }
    std::fprintf(out, "\n%s output identical to the input throughout (a tuner, or a stage that is not engaged).\n\n",
                 kPassThroughMark);
}

std::string Verdict(const ComparisonRow& row, size_t block)
{
    const Measurement* fastest = FastestPeer(row, block);
    if (!row.ours.valid || !fastest)
        return kNoFigure;
    return row.ours.realTime[block] >= fastest->realTime[block] ? "yes" : "no";
}

void PrintSummary(std::FILE* out, const std::vector<ComparisonRow>& rows)
{
    const uint32_t small = kBlockLengths[0];
    const uint32_t large = kBlockLengths[1];
    std::fprintf(out, "| Effect | Ours @ %u | Ours @ %u | Fastest peer @ %u | Fastest peer @ %u | "
                      "Ours ≥ fastest (%u / %u) |\n",
                 small, large, small, large, small, large);
    std::fprintf(out, "|---|--:|--:|---|---|---|\n");
    for (const ComparisonRow& row : rows) {
        std::array<std::string, kBlockLengths.size()> fastest;
        for (size_t block = 0; block < kBlockLengths.size(); ++block) {
            const Measurement* peer = FastestPeer(row, block);
            fastest[block] = peer ? Figure(peer->realTime[block]) + " " + peer->name : kNoFigure;
        }
        std::fprintf(out, "| %s | %s | %s | %s | %s | %s / %s |\n", row.shortName.c_str(),
                     FigureOf(row.ours, 0).c_str(), FigureOf(row.ours, 1).c_str(), fastest[0].c_str(),
                     fastest[1].c_str(), Verdict(row, 0).c_str(), Verdict(row, 1).c_str());
    }
}

} // namespace

void PrintReport(std::FILE* out, const std::vector<ComparisonRow>& rows)
{
    PrintDetails(out, rows);
    PrintSummary(out, rows);
}

} // namespace lv2bench
