#include "ui/editor/CORVStompBoxGUIEditor.h"

#include "core/CORVEffectCatalogue.h"
#include "core/CORVEffectProcess.h"
#include "dsp/CORVDSPAlgInterface.h"
#include "dsp/SyncCoeff.h"
#include "ui/controls/CAboutView.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/editor/EditorTags.h"
#include "ui/editor/OptionsMenuActions.h"
#include "ui/editor/CORVStompBoxPanel.h"
#include "ui/vstgui/CParamDisplay.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

using namespace VSTGUI;

namespace {


// The status LED's film strip: frame n shows at value n / 9.
constexpr float kLedSteps = 9.0f;
constexpr int32_t kLedOff = 0;
constexpr int32_t kLedOn = 1;
constexpr int32_t kLedTapArmed = 4;
constexpr int32_t kLedTapWaiting = 5;

// A preset-number control may name presets 0 to 180; its value reaches the
// instance divided by the span of preset numbers.
constexpr float kPresetNumberLimit = 181.0f;
constexpr float kPresetNumberSpan = 185.0f;

// Parameters a refresh hands to the panel in their units, because a menu or
// a hook of the panel shows them rather than a plain control value.
constexpr std::array<std::string_view, 7> kParametersShownByPanel{
    "Sync coeff", "Speaker Type", "Mic Type", "1st sound", "Oth sound", "Sync", "Space"};

// A single change never moves these controls: their panels show them.
constexpr std::array<std::string_view, 3> kParametersNotFollowed{"1st sound", "Oth sound", "Space"};

template <size_t N>
bool IsOneOf(const std::array<std::string_view, N>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The formatted value comes padded for a name in front of it.
std::string Trimmed(const std::string& text)
{
    const size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : text.substr(start);
}

// The parameter a tap sets and the display shows in tap mode: the tempo,
// or the rate of an effect that has no tempo.
const CORVDSPParameter* TappedParameter(const CORVDSPAlgInterface& algorithm)
{
    const CORVDSPParameter* tempo = algorithm.FindRole(ParameterRole::Tempo);
    return tempo ? tempo : algorithm.FindRole(ParameterRole::Rate);
}

CORVOptionMenu* MenuOf(const CORVStompBoxCtrlBaseSet& set, int32_t tag)
{
    return dynamic_cast<CORVOptionMenu*>(set.control(tag));
}

// The table key of the preset at a position of the stored order.
const CORVDSPPreset* PresetAt(const CORVDSPAlgInterface& algorithm, int32_t position, int32_t* key = nullptr)
{
    int32_t seen = 0;
    for (const auto& [index, preset] : algorithm.presets) {
        if (seen++ != position)
            continue;
        if (key)
            *key = index;
        return preset.get();
    }
    return nullptr;
}

} // namespace

CORVStompBoxGUIEditor::CORVStompBoxGUIEditor(CORVEffectProcess* instance)
    : PluginGUIEditor(instance), effectInstance(instance), timer(kIdleIntervalMs, [this] { idle(); })
{
    rect = {0, 0, kHeight, kWidth};
    container = CORVStompBoxGUIContainer::acquire();
}

CORVStompBoxGUIEditor::~CORVStompBoxGUIEditor()
{
    timer.stop();
    if (frame)
        close();
    // The controls borrow the container's bitmaps, so they go first.
    ctrlSet.reset();
    CORVStompBoxGUIContainer::release();
}

bool CORVStompBoxGUIEditor::getRect(ERect** r)
{
    rect = {0, 0, kHeight, kWidth};
    return PluginGUIEditor::getRect(r);
}

bool CORVStompBoxGUIEditor::open(void* parentWindow)
{
    PluginGUIEditor::open(parentWindow);
    if (!ctrlSet)
        return false;
    if (reopenRequested && frame) {
        frame->removeAll(false);
        reopenRequested = false;
    }
    if (!frame) {
        CBitmap* background = ctrlSet->backgroundBitmap();
        const CCoord width = background && background->getWidth() > 0 ? background->getWidth() : kWidth;
        const CCoord height = background && background->getHeight() > 0 ? background->getHeight() : kHeight;
        frame = new CFrame(CRect(0, 0, width, height), parentWindow, this);
    }
    frame->setBackground(ctrlSet->backgroundBitmap());
    for (const auto& [tag, control] : ctrlSet->allControls()) {
        if (tag == tags::kPresetName || tag == tags::kHiddenButtonA || tag == tags::kHiddenButtonB)
            continue;
        frame->addView(control);
        if (const CORVDSPParameter* parameter = ctrlSet->algorithm()->GetParameter(tag))
            control->setDefaultValue(parameter->normValue);
    }
    rebuildPresetMenus();
    const CatalogueEntry* entry = FindCatalogueEntry(ctrlSet->effectCode());
    const std::string welcome = std::string("Welcome to Orvanta ") + (entry ? entry->longName : "") + "!";
    ctrlSet->showText(welcome.c_str());
    refreshAll(true);
    opened = true;
    updateModifiedIndicator();
    selectMatchingPreset();
    frame->invalid();
    frame->idle();
    timer.start();
    return true;
}

void CORVStompBoxGUIEditor::close()
{
    CFrame* closing = frame;
    frame = nullptr;
    if (closing) {
        if (about)
            about->unSplash();
        closing->removeAll(false);
    }
    if (about) {
        about->forget();
        about = nullptr;
    }
    namingPreset = false;
    opened = false;
    timer.stop();
    if (closing)
        closing->forget();
    PluginGUIEditor::close();
}

void CORVStompBoxGUIEditor::idle()
{
    if (pendingFlag) {
        // setParameter may queue nothing, but a host may: take the queue first.
        std::vector<int32_t> indices;
        std::vector<float> values;
        indices.swap(pendingIndices);
        values.swap(pendingValues);
        pendingFlag = false;
        for (size_t i = 0; i < indices.size(); ++i)
            setParameter(indices[i], values[i]);
    }
    if (frame && namingPreset) {
        auto* field = dynamic_cast<CTextEdit*>(ctrlSet->control(tags::kPresetName));
        if (field && !field->isEditing()) {
            frame->removeView(field, false);
            namingPreset = false;
        }
    }
    if (frame && about && !about->isSplashing()) {
        frame->removeView(about, false);
        about->forget();
        about = nullptr;
    }
    PluginGUIEditor::idle();
    if (reopenRequested && opened)
        open(systemWindow);
    if (ctrlSet && frame)
        ctrlSet->idle();
}

void CORVStompBoxGUIEditor::queueControlUpdate(int32_t index, float value)
{
    pendingIndices.push_back(index);
    pendingValues.push_back(value);
    pendingFlag = true;
}

void CORVStompBoxGUIEditor::setLed(int32_t ledFrame)
{
    if (CControl* led = ctrlSet->control(tags::kStatusLed)) {
        led->setValue(float(ledFrame) / kLedSteps);
        redraw(led);
    }
}

void CORVStompBoxGUIEditor::redraw(CControl* control)
{
    if (control && frame && frame->isChild(control))
        control->invalid();
}

void CORVStompBoxGUIEditor::showOnOffState()
{
    CORVDSPAlgInterface* algorithm = ctrlSet->algorithm();
    const CORVDSPParameter* tap = algorithm->FindRole(ParameterRole::Tap);
    if (tap && tap->value == 1.0f) {
        if (algorithm->GetTapState() == 0.0f) {
            ctrlSet->showText("Press On-Off again");
            setLed(kLedTapWaiting);
        } else {
            const CORVDSPParameter* tempo = TappedParameter(*algorithm);
            const std::string shown = "(Tap) " + (tempo ? Trimmed(tempo->GetText(false, true).str()) : "");
            ctrlSet->showText(shown.c_str());
            setLed(kLedTapArmed);
        }
        return;
    }
    ctrlSet->showText(algorithm->bypassed ? "Effect Off" : "Effect On");
    setLed(algorithm->bypassed ? kLedOff : kLedOn);
}

void CORVStompBoxGUIEditor::showSyncedTempo(int32_t index, float)
{
    CORVDSPAlgInterface* algorithm = ctrlSet->algorithm();
    const auto setting = int32_t(algorithm->Value(index));
    if (CControl* menu = ctrlSet->control(index)) {
        menu->setValue(float(setting));
        redraw(menu);
    }
    if (setting == 0) {
        if (const CORVDSPParameter* tempo = TappedParameter(*algorithm))
            ctrlSet->showText(tempo->GetText(true, true).str().c_str());
        refreshAll(false);
        return;
    }
    // A setting without a division of its own runs at the host's tempo.
    const double synced = SyncedTempo(float(setting), algorithm->tempo, algorithm->tempo);
    char text[96];
    std::snprintf(text, sizeof text, "Host: %.2f FX: %.2f BPM", algorithm->tempo, synced);
    ctrlSet->showText(text);
}

void CORVStompBoxGUIEditor::showParameter(int32_t index, float value)
{
    CORVDSPAlgInterface* algorithm = ctrlSet->algorithm();
    const CORVDSPParameter* parameter = algorithm->GetParameter(index);
    if (!parameter)
        return;
    if (parameter == algorithm->FindRole(ParameterRole::SyncCoeff)) {
        showSyncedTempo(index, value);
        return;
    }
    if (IsOneOf(kParametersNotFollowed, parameter->name))
        return;
    if (CControl* shown = ctrlSet->control(index))
        shown->setValue(value);
    ctrlSet->showText(parameter->GetText(true, true).str().c_str());
    if (parameter == algorithm->FindRole(ParameterRole::Tap)) {
        if (parameter->value == 1.0f)
            setLed(kLedTapArmed);
        else
            showOnOffState();
    }
}

void CORVStompBoxGUIEditor::setParameter(int32_t index, float value)
{
    if (!ctrlSet)
        return;
    const std::string before = ctrlSet->displayText();
    if (index == tags::kFootSwitch)
        showOnOffState();
    else if (index >= tags::kFirstParameter && index <= tags::kLastParameter)
        showParameter(index, value);
    if (keepDisplayText)
        ctrlSet->showText(before.c_str());
    ctrlSet->parameterText(index, value);
    redraw(ctrlSet->control(index));
    redraw(ctrlSet->control(tags::kDisplay));
}

void CORVStompBoxGUIEditor::valueChanged(CControl* control)
{
    if (!ctrlSet || !control)
        return;
    const int32_t tag = control->getTag();
    float value = control->getValue();
    switch (tag) {
    case tags::kPresetNumber: choosePresetNumber(control); break;
    case tags::kFootSwitch:
        // The switch reports its press and its release; a press toggles.
        if (value >= 1.0f)
            effectInstance->SetParameterValue(tags::kFootSwitch,
                                              1.0f - effectInstance->GetParameterValue(tags::kFootSwitch));
        break;
    case tags::kPresetMenu:
        if (auto* menu = MenuOf(*ctrlSet, tags::kPresetMenu)) {
            int32_t key = 0;
            if (PresetAt(*ctrlSet->algorithm(), menu->getCurrentIndex(false), &key))
                effectInstance->ApplyPresetFromEditor(key);
        }
        break;
    case tags::kSaveMenu: chooseSaveEntry(); break;
    case tags::kOptionsMenu:
        if (auto* menu = MenuOf(*ctrlSet, tags::kOptionsMenu); menu && menu->getCurrent())
            chooseOption(menu->getCurrent()->getTitle());
        break;
    case tags::kPresetName: finishSaveAs(); break;
    case tags::kAboutView:
        if (value == 0.0f)
            hideAbout();
        break;
    default:
        if (tag >= tags::kFirstParameter && tag <= tags::kLastParameter) {
            ctrlSet->controlChanged(control);
            value = control->getValue();
            effectInstance->SetParameterValue(tag, value);
        }
        break;
    }
    if (tag != tags::kPresetModified)
        updateModifiedIndicator();
    redraw(control);
    setParameter(tag, value);
    passHookChangesToHost();
}

void CORVStompBoxGUIEditor::passHookChangesToHost()
{
    for (const auto& [index, parameter] : ctrlSet->algorithm()->parameters) {
        if (ctrlSet->control(index))
            continue;
        int32_t hostValue = 0;
        effectInstance->GetControlValue(index, &hostValue);
        const int32_t shown = CORVEffectProcess::ToControlValue(parameter->normValue);
        if (hostValue != shown)
            effectInstance->SetParameterValue(index, parameter->normValue);
    }
}

void CORVStompBoxGUIEditor::choosePresetNumber(CControl* control)
{
    const float position = control->getValue();
    if (position < 0.0f || position >= kPresetNumberLimit)
        return;
    auto* numbered = dynamic_cast<CTextEdit*>(control);
    const std::string name = numbered ? numbered->getText() : std::string();
    int32_t found = 0;
    for (const auto& [index, preset] : ctrlSet->algorithm()->presets) {
        if (preset->name == name) {
            effectInstance->SetParameterValue(tags::kPresetNumber, float(found) / kPresetNumberSpan);
            break;
        }
        ++found;
    }
    if (frame)
        frame->invalid();
}

void CORVStompBoxGUIEditor::chooseSaveEntry()
{
    auto* save = MenuOf(*ctrlSet, tags::kSaveMenu);
    if (!save)
        return;
    int32_t position = -1;
    const COptionMenu* chosenIn = save->getLastItemMenu(position);
    CORVDSPAlgInterface* algorithm = ctrlSet->algorithm();
    if (chosenIn && chosenIn == ctrlSet->control(tags::kUserPresetList)) {
        // The list holds the user presets in table order, after the factory ones.
        int32_t userSeen = 0;
        for (const auto& [index, preset] : algorithm->presets) {
            if (preset->isFactory != 0 || userSeen++ != position)
                continue;
            const std::string name = preset->name;
            ctrlSet->showText(effectInstance->DeleteUserPreset(index) ? ("Deleted: " + name).c_str()
                                                                      : "Could not delete the preset");
            break;
        }
        rebuildPresetMenus();
        return;
    }
    const CMenuItem* item = save->getCurrent();
    const std::string entry = item ? item->getTitle() : "";
    if (entry == "Save As...") {
        beginSaveAs();
        return;
    }
    if (entry != "Save")
        return;
    const CORVDSPPreset* current = algorithm->currentPreset;
    if (!current || current->isFactory != 0) {
        // A factory preset stays as it is: the settings need a name of their own.
        beginSaveAs();
        return;
    }
    for (const auto& [index, preset] : algorithm->presets) {
        if (preset.get() != current)
            continue;
        const bool saved = effectInstance->OverwriteUserPreset(index);
        ctrlSet->showText(saved ? ("Saved: " + current->name).c_str() : "Could not save the preset");
        break;
    }
    rebuildPresetMenus();
}

void CORVStompBoxGUIEditor::beginSaveAs()
{
    auto* field = dynamic_cast<CTextEdit*>(ctrlSet->control(tags::kPresetName));
    if (!field || !frame)
        return;
    field->setText("");
    if (!frame->isChild(field))
        frame->addView(field);
    namingPreset = true;
    ctrlSet->showText("Name the preset, then Enter");
    frame->setFocusView(field);
    field->invalid();
}

void CORVStompBoxGUIEditor::finishSaveAs()
{
    auto* field = dynamic_cast<CTextEdit*>(ctrlSet->control(tags::kPresetName));
    if (!field)
        return;
    const std::string name = field->getText();
    if (frame && frame->isChild(field))
        frame->removeView(field, false);
    namingPreset = false;
    if (name.empty())
        return;
    CORVDSPAlgInterface* algorithm = ctrlSet->algorithm();
    if (const std::optional<int32_t> index = effectInstance->SaveUserPreset(name)) {
        algorithm->currentPreset = algorithm->presets.at(*index).get();
        ctrlSet->showText(("Saved: " + name).c_str());
    } else {
        ctrlSet->showText("Could not save the preset");
    }
    rebuildPresetMenus();
}

void CORVStompBoxGUIEditor::chooseOption(const std::string& entry)
{
    if (entry == "About Plug-In") {
        showAbout();
        return;
    }
    if (!OpenOptionsEntry(entry))
        ctrlSet->showText("Could not open a browser");
}

void CORVStompBoxGUIEditor::showAbout()
{
    if (!frame || about)
        return;
    // The editor holds the one reference; the frame only shows the view.
    about = MakeAboutSplash(CRect(0, 0, kWidth, kHeight), this);
    frame->addView(about);
    about->splash();
}

void CORVStompBoxGUIEditor::hideAbout()
{
    // The splash screen is still inside its own click; idle removes it.
    if (about)
        about->unSplash();
}

void CORVStompBoxGUIEditor::showMessage(const std::string& text)
{
    if (ctrlSet)
        ctrlSet->showText(text.c_str());
}

void CORVStompBoxGUIEditor::refreshAll(bool flash)
{
    CORVDSPAlgInterface* algorithm = ctrlSet->algorithm();
    setLed(algorithm->bypassed ? kLedOff : kLedOn);
    const CORVDSPParameter* tap = algorithm->FindRole(ParameterRole::Tap);
    for (int32_t tag = tags::kFirstParameter; tag <= tags::kLastParameter - 1; ++tag) {
        CControl* shown = ctrlSet->control(tag);
        const CORVDSPParameter* parameter = algorithm->GetParameter(tag);
        if (!shown || !parameter)
            continue;
        if (IsOneOf(kParametersShownByPanel, parameter->name)) {
            const std::string kept = ctrlSet->displayText();
            ctrlSet->parameterText(tag, parameter->value);
            if (parameter == algorithm->FindRole(ParameterRole::SyncCoeff))
                shown->setValue(float(int32_t(parameter->value)));
            ctrlSet->showText(kept.c_str());
            continue;
        }
        shown->setValue(parameter->normValue);
        if (flash && tap && tap->value > 0.0f)
            setLed(kLedTapArmed);
    }
    if (frame)
        frame->invalid();
}

void CORVStompBoxGUIEditor::refreshBegin()
{
    if (ctrlSet)
        refreshAll(false);
}

void CORVStompBoxGUIEditor::refreshEnd()
{
    if (!ctrlSet)
        return;
    refreshAll(false);
    const CORVDSPPreset* current = ctrlSet->algorithm()->currentPreset;
    ctrlSet->showText(("Preset: " + (current ? current->name : std::string())).c_str());
    selectCurrentPresetEntry();
    updateModifiedIndicator();
}

void CORVStompBoxGUIEditor::presetsChanged()
{
    if (!ctrlSet)
        return;
    rebuildPresetMenus();
    updateModifiedIndicator();
}

void CORVStompBoxGUIEditor::rebuildPresetMenus()
{
    auto* presetMenu = MenuOf(*ctrlSet, tags::kPresetMenu);
    auto* userList = MenuOf(*ctrlSet, tags::kUserPresetList);
    if (!presetMenu || !userList)
        return;
    presetMenu->removeAllEntry();
    userList->removeAllEntry();
    bool anyUser = false;
    for (const auto& [index, preset] : ctrlSet->algorithm()->presets) {
        if (preset->isFactory == 0) {
            if (!anyUser)
                presetMenu->addSeparator();
            anyUser = true;
            userList->addEntry(preset->name.c_str());
        }
        presetMenu->addEntry(preset->name.c_str());
    }
    selectCurrentPresetEntry();
    if (auto* save = MenuOf(*ctrlSet, tags::kSaveMenu)) {
        constexpr int32_t kDeletePosition = 2;
        save->removeEntry(kDeletePosition);
        auto* del = anyUser ? new CMenuItem("Delete", userList) : new CMenuItem("Delete", CMenuItem::kDisabled);
        save->addEntry(del, kDeletePosition);
    }
}

void CORVStompBoxGUIEditor::selectCurrentPresetEntry()
{
    if (const CORVDSPPreset* current = ctrlSet->algorithm()->currentPreset)
        selectPresetEntry(current->name);
}

void CORVStompBoxGUIEditor::selectPresetEntry(const std::string& name)
{
    auto* presetMenu = MenuOf(*ctrlSet, tags::kPresetMenu);
    if (!presetMenu)
        return;
    for (int32_t i = 0; i < presetMenu->getNbEntries(); ++i) {
        const CMenuItem* item = presetMenu->getEntry(i);
        if (!item->isSeparator() && name == item->getTitle()) {
            presetMenu->setCurrent(i);
            redraw(presetMenu);
            return;
        }
    }
}

void CORVStompBoxGUIEditor::selectMatchingPreset()
{
    CORVDSPAlgInterface* algorithm = ctrlSet->algorithm();
    const std::vector<float> values = algorithm->CurrentValues();
    for (const auto& [index, preset] : algorithm->presets) {
        if (preset->values == values) {
            selectPresetEntry(preset->name);
            // Settings that are a preset's, with no preset chosen yet, are that preset.
            if (!algorithm->currentPreset)
                algorithm->currentPreset = preset.get();
            return;
        }
    }
}

void CORVStompBoxGUIEditor::updateModifiedIndicator()
{
    CControl* indicator = ctrlSet->control(tags::kPresetModified);
    auto* presetMenu = MenuOf(*ctrlSet, tags::kPresetMenu);
    if (!indicator || !presetMenu || !frame)
        return;
    const CMenuItem* item = presetMenu->getCurrent();
    const CORVDSPPreset* stored = nullptr;
    for (const auto& [index, preset] : ctrlSet->algorithm()->presets)
        if (item && preset->name == item->getTitle())
            stored = preset.get();
    const bool modified = stored && stored->values != ctrlSet->algorithm()->CurrentValues();
    if (modified) {
        if (!frame->isChild(indicator))
            frame->addView(indicator);
        indicator->setVisible(true);
        indicator->invalid();
    } else if (frame->isChild(indicator)) {
        frame->removeView(indicator, false);
        indicator->setValue(0.0f);
        frame->invalid();
    }
}

CORVStompBoxGUIEditorRTAS::CORVStompBoxGUIEditorRTAS(CORVEffectProcess* instance)
    : CORVStompBoxGUIEditor(instance), instanceReadings(*instance)
{
    ctrlSet = CreatePanel(instance->GetAlgorithm(), this, container, instance->GetEffectId());
    if (!ctrlSet)
        return;
    ctrlSet->setReadings(&instanceReadings);
    for (const auto& [tag, control] : ctrlSet->allControls())
        if (const CORVDSPParameter* parameter = instance->GetAlgorithm()->GetParameter(tag))
            control->setDefaultValue(parameter->normValue);
}

float CORVStompBoxGUIEditorRTAS::InstanceReadings::read(ReadingKind kind) const
{
    return instance.GetAlgorithm()->Read(kind);
}

float CORVStompBoxGUIEditorRTAS::InstanceReadings::level(bool input, int channel) const
{
    return input ? instance.GetInputPeak(channel) : instance.GetOutputPeak(channel);
}

void CORVStompBoxGUIEditorRTAS::beginEdit(int32_t index)
{
    if (effectInstance && index <= tags::kLastParameter)
        effectInstance->EditorInterface().TouchControl(index);
}

void CORVStompBoxGUIEditorRTAS::endEdit(int32_t index)
{
    if (effectInstance && index <= tags::kLastParameter)
        effectInstance->EditorInterface().ReleaseControl(index);
}
