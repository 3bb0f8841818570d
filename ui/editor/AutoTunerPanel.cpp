// The tuner: what the analyser hears, shown as note, frequency, lamps and
// bars, and the two buttons that move the reference pitch.
#include "dsp/CORVDSPAlgInterface.h"
#include "effects/modulation/CPitchAnalyser.h"
#include "ui/editor/CORVPanels.h"
#include "ui/vstgui/CParamDisplay.h"

#include <algorithm>
#include <cstdio>

namespace {

enum : int32_t {
    kReference = 2,
    kNoteText = 23,
    kFrequencyText = 24,
    kFlatLabel = 25,
    kSharpLabel = 26,
    kFlatLamp = 27,
    kSharpLamp = 28,
    kInTuneLamp = 29,
    kInTuneMeter = 30,
    kSharpBar = 31,
    kFlatBar = 32,
    kRaise = 33,
    kLower = 34,
};

// The bars span 25 cents; within a cent either way the note is in tune.
constexpr float kBarSpan = 25.0f;
constexpr float kInTune = 1.0f;

void SetText(VSTGUI::CControl* field, const std::string& text)
{
    if (auto* edit = dynamic_cast<VSTGUI::CTextEdit*>(field))
        edit->setText(text.c_str());
}

} // namespace

CORVAutoTunerGUI::CORVAutoTunerGUI(CORVDSPAlgInterface* algorithm, VSTGUI::CControlListener* listener,
                                   CORVStompBoxGUIContainer* container, int32_t effectCode)
    : CORVTablePanel(algorithm, listener, container, effectCode)
{
    SetText(control(kFlatLabel), "-25 c");
    SetText(control(kSharpLabel), "+25 c");
}

void CORVAutoTunerGUI::idle()
{
    std::string note, frequency;
    float flat = 0.0f, sharp = 0.0f, inTune = 0.0f;
    const float hz = readings().read(ReadingKind::TunerFrequency);
    // Lamps and bars stay dark while nothing is heard, as when bypassed.
    if (!dspAlgorithm->bypassed && hz > 0.0f) {
        // Spelt as the tuner spells it everywhere: "A 4", "C 4#".
        note = CPitchAnalyser::NameOf(int32_t(readings().read(ReadingKind::TunerNote))).View();
        char text[64];
        std::snprintf(text, sizeof text, "%s%2.2f%s", " ", double(hz), " Hz");
        frequency = text;
        const float d = readings().read(ReadingKind::TunerDeviation);
        flat = d < -kInTune ? std::min(-d / kBarSpan, 1.0f) : 0.0f;
        sharp = d > kInTune ? std::min(d / kBarSpan, 1.0f) : 0.0f;
        inTune = d >= -kInTune && d <= kInTune ? 1.0f : 0.0f;
    }
    SetText(control(kNoteText), note);
    SetText(control(kFrequencyText), frequency);
    setControlValue(kFlatBar, flat);
    setControlValue(kSharpBar, sharp);
    setControlValue(kFlatLamp, flat > 0.0f ? 1.0f : 0.0f);
    setControlValue(kSharpLamp, sharp > 0.0f ? 1.0f : 0.0f);
    setControlValue(kInTuneLamp, inTune);
    setControlValue(kInTuneMeter, inTune);
}

void CORVAutoTunerGUI::parameterText(int32_t tag, float value)
{
    if (tag != kRaise && tag != kLower)
        return;
    bool& held = tag == kRaise ? upHeld : downHeld;
    // A press counts once, however long the button is held.
    const bool pressed = value >= 1.0f;
    const bool fresh = pressed && !held;
    held = pressed;
    CORVDSPParameter* reference = dspAlgorithm->GetParameter(kReference);
    if (!fresh || !reference)
        return;
    const float moved = std::clamp(reference->value + (tag == kRaise ? 1.0f : -1.0f), reference->minValue,
                                   reference->maxValue);
    dspAlgorithm->OnParameterChange(kReference, reference->NormalizedFromPlain(moved));
    showText(reference->GetText(true, true).c_str());
}
