#include "cli/Demo.h"

#include "cli/CORVEffectChain.h"
#include "cli/CORVSoundFileWriter.h"
#include "cli/CliError.h"
#include "cli/DemoRiff.h"
#include "cli/Pedalboard.h"
#include "cli/Snapshot.h"

#include <filesystem>

namespace {

// The riff is mono, but written as stereo so that the auto pan and every
// stereo stage after it can spread it.
constexpr int32_t kDemoChannels = 2;
// The pedalboard's eight pedals in two rows, as on a board.
constexpr int kDemoSheetColumns = 4;

void WriteDry(const std::string& path)
{
    const std::vector<float> riff = SynthesiseDemoRiff(kDemoSampleRate);
    CORVSoundFileWriter writer(path, ChooseOutputFormat(path, SampleFormat::Float), int32_t(kDemoSampleRate),
                               kDemoChannels);
    const float* channels[kDemoChannels] = {riff.data(), riff.data()};
    writer.Write(channels, int32_t(riff.size()));
    writer.Commit();
}

} // namespace

DemoResult RunDemo(const std::string& folder, const RenderProgress& progress)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw CliError("cannot create the folder '" + folder + "': " + error.message());

    DemoResult result;
    result.dryPath = (fs::path(folder) / kDemoDryName).string();
    result.wetPath = (fs::path(folder) / kDemoWetName).string();
    WriteDry(result.dryPath);

    RenderRequest request;
    request.inputPath = result.dryPath;
    request.outputPath = result.wetPath;
    request.effects = PedalboardRequests();
    request.settings = {kDemoTempo, CORVEffectChain::kMaxSliceFrames};
    result.summary = RenderFile(request, progress);

    result.sheetPath = (fs::path(folder) / kDemoSheetName).string();
    SnapshotRequest sheet;
    sheet.pedals = request.effects;
    sheet.columns = kDemoSheetColumns;
    WriteSnapshot(result.sheetPath, DrawSnapshot(sheet));
    return result;
}
