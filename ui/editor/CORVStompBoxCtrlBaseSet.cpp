#include "ui/editor/CORVStompBoxCtrlBaseSet.h"

#include "dsp/CORVDSPAlgInterface.h"
#include "ui/controls/CButtonsEX.h"
#include "ui/controls/CKnobEX.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/editor/EditorTags.h"
#include "ui/vstgui/CParamDisplay.h"

using namespace VSTGUI;

namespace {

// The text fields are sunken (3D in); the preset-name field adds a shadow.
constexpr int32_t kDisplayStyle = k3DIn;
constexpr int32_t kNameFieldStyle = k3DIn | kShadowText;
constexpr int32_t kLedFrames = 10;

} // namespace

int32_t BackgroundIdFor(int32_t effectCode)
{
    if (effectCode % 5 == 0)
        return 500 + effectCode / 5;
    return 536 + 4 * (effectCode / 5) + effectCode % 5;
}

CORVStompBoxCtrlBaseSet::CORVStompBoxCtrlBaseSet(CORVDSPAlgInterface* algorithm, CControlListener* controlListener,
                                                 CORVStompBoxGUIContainer* sharedContainer, int32_t effectCode)
    : dspAlgorithm(algorithm), listener(controlListener), container(sharedContainer), code(effectCode),
      ownReadings(*algorithm)
{
    // The pedal picture belongs to this set alone: the store keeps only what
    // every pedal draws.
    background = new CBitmap(BackgroundIdFor(effectCode));
    buildCommonControls();
}

CORVStompBoxCtrlBaseSet::~CORVStompBoxCtrlBaseSet()
{
    for (auto& [tag, held] : controls)
        held->forget();
    background->forget();
}

CRect CORVStompBoxCtrlBaseSet::placeAt(int32_t anchorKey, int32_t bitmapId, int32_t frames) const
{
    const CRect anchor = container->anchor(anchorKey);
    const CBitmap* picture = bitmap(bitmapId);
    const CCoord width = picture ? picture->getWidth() : 0;
    const CCoord height = picture ? picture->getHeight() / frames : 0;
    return CRect(anchor.left, anchor.top, anchor.left + width, anchor.top + height);
}

void CORVStompBoxCtrlBaseSet::buildCommonControls()
{
    using namespace tags;
    auto knob = [&](int32_t tag, int32_t anchor) {
        putControl(tag, new CKnobEX(placeAt(anchor, 300), listener, tag, bitmap(300), bitmap(302)));
    };
    auto textField = [&](int32_t tag, int32_t anchor, int32_t style) {
        auto* field = new CTextEdit(container->anchor(anchor), listener, tag, nullptr, nullptr, style);
        field->setFontColor(kWhiteCColor);
        field->setHoriAlign(kLeftText);
        field->setBackColor(displayColour);
        field->setFrameColor(displayColour);
        field->setShadowColor(kBlackCColor);
        putControl(tag, field);
    };
    auto menu = [&](int32_t tag, int32_t anchor, int32_t normal, int32_t pressed, int32_t style) {
        // The user-preset list has no picture: it only ever opens as a submenu.
        auto* created = new CORVOptionMenu(placeAt(anchor, normal), listener, tag, bitmap(normal), bitmap(pressed), style);
        putControl(tag, created);
        return created;
    };

    putControl(kFootSwitch, new CKickButtonEX(placeAt(0, 100, 2), listener, kFootSwitch,
                                              placeAt(0, 100, 2).getHeight(), bitmap(100)));
    putControl(kStatusLed, new CMovieBitmap(placeAt(14, 200, kLedFrames), listener, kStatusLed, kLedFrames,
                                            placeAt(14, 200, kLedFrames).getHeight(), bitmap(200)));
    textField(kDisplay, 11, kDisplayStyle);
    for (int32_t tag = 2; tag <= 5; ++tag)
        knob(tag, tag - 1);
    menu(kPresetMenu, 17, 103, 104, kChoiceMenuStyle);
    CORVOptionMenu* save = menu(kSaveMenu, 18, 113, 114, kOptionMenuStyle);
    save->addEntry("Save");
    save->addEntry("Save As...");
    menu(kUserPresetList, 18, 0, 0, kOptionMenuStyle);
    CORVOptionMenu* options = menu(kOptionsMenu, 19, 105, 106, kOptionMenuStyle);
    for (const char* entry : {"Help", "Check For Updates", "Orvanta Web Site", "About Plug-In"})
        options->addEntry(entry);
    putControl(kPresetModified, new CMovieButtonEX(placeAt(21, 107, 2), listener, kPresetModified,
                                                   placeAt(21, 107, 2).getHeight(), bitmap(107)));
    putControl(kHiddenButtonA, new CKickButtonEX(placeAt(52, 119, 2), listener, kHiddenButtonA,
                                                 placeAt(52, 119, 2).getHeight(), bitmap(119)));
    putControl(kHiddenButtonB, new CKickButtonEX(placeAt(53, 120, 2), listener, kHiddenButtonB,
                                                 placeAt(53, 120, 2).getHeight(), bitmap(120)));
    textField(kPresetName, 12, kNameFieldStyle);
}

void CORVStompBoxCtrlBaseSet::putControl(int32_t tag, CControl* added)
{
    const auto found = controls.find(tag);
    if (found != controls.end()) {
        found->second->forget();
        controls.erase(found);
    }
    if (added)
        controls.emplace(tag, added);
}

CControl* CORVStompBoxCtrlBaseSet::control(int32_t tag) const
{
    const auto found = controls.find(tag);
    return found != controls.end() ? found->second : nullptr;
}

void CORVStompBoxCtrlBaseSet::initialiseFromParameters()
{
    for (const auto& [index, parameter] : dspAlgorithm->parameters) {
        if (CControl* shown = control(index)) {
            shown->setValue(parameter->normValue);
            shown->setDefaultValue(parameter->normValue);
        }
    }
}

void CORVStompBoxCtrlBaseSet::showText(const char* text)
{
    if (auto* display = dynamic_cast<CTextEdit*>(control(tags::kDisplay)))
        display->setText(text);
}

const char* CORVStompBoxCtrlBaseSet::displayText() const
{
    const auto* display = dynamic_cast<const CTextEdit*>(control(tags::kDisplay));
    return display ? display->getText() : "";
}
