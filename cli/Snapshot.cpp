#include "cli/Snapshot.h"

#include "cli/CliError.h"
#include "cli/PedalEditor.h"
#include "platform/AtomicFile.h"
#include "ui/editor/CORVEffectCustomUI.h"
#include "ui/vstgui/CDrawContext.h"

#include <algorithm>
#include <memory>

using namespace VSTGUI;

namespace {

// The sheet: pedals on a dark floor, a little apart.
constexpr CCoord kGap = 8;
const CColor kFloor{34, 34, 38, 255};

// One pedal's editor drawn over its instance; the editor is closed before
// the instance goes.
void DrawPedal(const EffectSpec& pedal, int scale, COffscreenContext& sheet, const CRect& cell)
{
    PedalEditor editor(pedal, scale);
    CORVEffectCustomUI& view = editor.View();
    if (!view.OpenWindow(nullptr))
        throw CliError(std::string(editor.Entry().longName) + " has no pedal to draw");
    CFrame* frame = view.Editor().getFrame();
    frame->idle();
    frame->getBackBuffer().copyFrom(&sheet, cell);
    view.CloseWindow();
}

} // namespace

std::string DrawSnapshot(const SnapshotRequest& request)
{
    if (request.pedals.empty())
        throw UsageError("no pedal to draw");
    if (request.scale != 1 && request.scale != 2)
        throw UsageError("--scale takes 1 or 2, not " + std::to_string(request.scale));
    // The pictures every pedal shares are decoded once for the whole sheet,
    // not again for each pedal's editor.
    CORVStompBoxGUIContainer::acquire();
    struct Release {
        ~Release() { CORVStompBoxGUIContainer::release(); }
    } release;
    const auto count = int(request.pedals.size());
    const int columns = request.columns > 0 ? std::min(request.columns, count) : count;
    const int rows = (count + columns - 1) / columns;
    const CCoord width = CORVStompBoxGUIEditor::kWidth;
    const CCoord height = CORVStompBoxGUIEditor::kHeight;
    // A single pedal is its editor alone; a sheet frames each pedal.
    const CCoord gap = count == 1 ? 0 : kGap;
    COffscreenContext sheet(columns * (width + gap) + gap, rows * (height + gap) + gap, kFloor, request.scale);
    for (int i = 0; i < count; ++i) {
        const CCoord left = gap + (i % columns) * (width + gap);
        const CCoord top = gap + (i / columns) * (height + gap);
        DrawPedal(request.pedals[size_t(i)], request.scale, sheet, CRect(left, top, left + width, top + height));
    }
    std::string png = sheet.encodePNG();
    if (png.empty())
        throw CliError("the picture could not be encoded");
    return png;
}

void WriteSnapshot(const std::string& path, const std::string& png)
{
    if (!platform::ReplaceFile(path, png))
        throw CliError("cannot write " + path);
}
