#include "ui/editor/CORVStompBoxPanel.h"

#include "dsp/CORVDSPAlgInterface.h"
#include "dsp/SyncCoeff.h"
#include "ui/controls/CButtonsEX.h"
#include "ui/controls/CKnobEX.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/controls/CSliderEX.h"
#include "ui/controls/CToneMeter.h"
#include "ui/vstgui/CParamDisplay.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace {

const PanelRow kNoRow{0, "", {}};

} // namespace

float SnapSteppedKnob(float value, int32_t steps)
{
    // A third of the travel at each end is dead, so a knob just nudged
    // off a stop does not jump; the middle third spreads the positions.
    const float x = 3.0f * float(steps) * value;
    const int32_t k = std::min(int32_t(x > float(steps) ? x - float(steps) : 0.0f), steps);
    // The seven-position knob's film strip rounds down, so its positions
    // sit a hair above each step.
    return steps == 6 ? (float(k) + 0.001f) / 6.0f : float(k) / float(steps);
}

CORVStompBoxPanel::CORVStompBoxPanel(CORVDSPAlgInterface* algorithm, CControlListener* controlListener,
                                     CORVStompBoxGUIContainer* sharedContainer, int32_t effectCode)
    : CORVStompBoxCtrlBaseSet(algorithm, controlListener, sharedContainer, effectCode)
{
    const PanelRow* found = FindPanelRow(effectCode);
    panelRow = found ? found : &kNoRow;
    // A knob with no parameter behind it would turn nothing.
    for (int32_t tag = 2; tag <= 5; ++tag)
        if (panelRow->dropsKnobRow || !dspAlgorithm->GetParameter(tag))
            putControl(tag, nullptr);
    for (const PanelControl& control : panelRow->controls)
        putControl(control.tag, build(control));
    if (panelRow->initialises)
        initialiseFromParameters();
}

CControl* CORVStompBoxPanel::build(const PanelControl& control) const
{
    const KindLook& look = LookOf(control.kind);
    const auto [first, second] = BitmapsOf(control);
    // A meter's picture is whole; its frame count is how many segments it lights.
    const bool meter = control.kind == ControlKind::LevelMeter || control.kind == ControlKind::LampMeter ||
                       control.kind == ControlKind::BarMeter || control.kind == ControlKind::ToneMeter;
    const int32_t frames = meter ? 1 : look.frames;
    CRect r = control.kind == ControlKind::TextField
                  ? container->anchor(control.anchor)
                  : placeAt(look.fixedAnchor >= 0 ? look.fixedAnchor : control.anchor, first, frames);
    r.offset(control.step * container->anchor(kSliderStepAnchor).left, 0);
    const CCoord frameHeight = r.getHeight();
    CBitmap* picture = bitmap(first);
    CBitmap* other = bitmap(second);
    const int32_t tag = control.tag;

    switch (control.kind) {
    case ControlKind::SmallKnob:
    case ControlKind::LargeKnob: return new CKnobEX(r, listener, tag, picture, other);
    case ControlKind::SteppedKnob5:
    case ControlKind::SteppedKnob7:
    case ControlKind::SteppedKnob6: return new CAnimKnobEX(r, listener, tag, look.frames, frameHeight, picture);
    case ControlKind::Switch2:
    case ControlKind::Switch3:
    case ControlKind::Switch4:
    case ControlKind::Switch5:
        return new CHorizontalSwitch(r, listener, tag, look.frames, frameHeight, look.frames, picture);
    case ControlKind::VerticalSwitch2:
    case ControlKind::VerticalSwitch4:
        return new CVerticalSwitch(r, listener, tag, look.frames, frameHeight, look.frames, picture);
    case ControlKind::OnOffButton: return new COnOffButtonEX(r, listener, tag, picture);
    case ControlKind::KickButton: return new CKickButtonEX(r, listener, tag, frameHeight, picture);
    case ControlKind::TempoSyncMenu: {
        auto* menu = new CORVOptionMenu(r, listener, tag, picture, other, kChoiceMenuStyle);
        // The separator takes no position, so positions 0 to 8 are the
        // sync settings in their list order.
        menu->addEntry(kSyncDivisions[0].text);
        menu->addSeparator();
        for (size_t i = 1; i < kSyncDivisions.size(); ++i)
            menu->addEntry(kSyncDivisions[i].text);
        return menu;
    }
    case ControlKind::SpeakerMenu: {
        auto* menu = new CORVOptionMenu(r, listener, tag, picture, other, kChoiceMenuStyle);
        if (const CORVDSPParameter* types = dspAlgorithm->GetParameter(tag))
            for (const std::string& name : types->valueTexts)
                menu->addEntry(name.c_str());
        return menu;
    }
    case ControlKind::VerticalSlider: {
        const CCoord handle = other ? other->getHeight() : 0;
        return new CVerticalSliderEX(r, listener, tag, int32_t(r.top), int32_t(r.bottom - handle), other, picture);
    }
    case ControlKind::HorizontalSlider: {
        const CCoord handle = other ? other->getWidth() : 0;
        return new CHorizontalSliderEX(r, listener, tag, int32_t(r.left), int32_t(r.right - handle), other,
                                       picture);
    }
    case ControlKind::Led:
    case ControlKind::Picture: return new CMovieBitmap(r, listener, tag, look.frames, frameHeight, picture);
    case ControlKind::LevelMeter:
    case ControlKind::LampMeter:
    case ControlKind::BarMeter: {
        auto* meter = new CVuMeter(r, picture, other, look.frames);
        meter->setTag(tag);
        return meter;
    }
    case ControlKind::ToneMeter: {
        auto* meter = new CToneMeter(r, picture, other, look.frames);
        meter->setTag(tag);
        return meter;
    }
    case ControlKind::TextField: {
        auto* field = new CTextEdit(r, listener, tag, nullptr, nullptr, k3DIn | kShadowText);
        field->setFontColor(kWhiteCColor);
        field->setBackColor(displayColour);
        field->setFrameColor(displayColour);
        field->setShadowColor(kBlackCColor);
        return field;
    }
    }
    return nullptr;
}

void CORVStompBoxPanel::controlChanged(CControl* changed)
{
    const SnapRule& snap = panelRow->snap;
    if (changed && snap.tag != 0 && changed->getTag() == snap.tag)
        changed->setValue(SnapSteppedKnob(changed->getValue(), snap.steps));
}

float CORVStompBoxPanel::normalised(int32_t index) const
{
    const CORVDSPParameter* parameter = dspAlgorithm->GetParameter(index);
    return parameter ? parameter->normValue : 0.0f;
}

float CORVStompBoxPanel::units(int32_t index) const { return dspAlgorithm->Value(index); }

void CORVStompBoxPanel::setControlValue(int32_t tag, float value)
{
    if (CControl* shown = control(tag)) {
        shown->setValue(value);
        shown->setDirty();
    }
}
