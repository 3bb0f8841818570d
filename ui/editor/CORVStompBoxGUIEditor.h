#pragma once
// The window of one effect instance: a stomp box of fixed size whose
// controls carry the user's gestures to the instance, whose display and
// lights follow the instance, and whose menus reach the presets.
#include "ui/editor/CORVIdleTimer.h"
#include "ui/editor/CORVStompBoxCtrlBaseSet.h"
#include "ui/vstgui/PluginGUIEditor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CORVEffectProcess;

namespace VSTGUI {
class CSplashScreen;
}

class CORVStompBoxGUIEditor : public VSTGUI::PluginGUIEditor, public VSTGUI::CControlListener {
public:
    static constexpr int16_t kWidth = 185;
    static constexpr int16_t kHeight = 320;
    static constexpr uint32_t kIdleIntervalMs = 100;

    explicit CORVStompBoxGUIEditor(CORVEffectProcess* instance);
    ~CORVStompBoxGUIEditor() override;
    CORVStompBoxGUIEditor(const CORVStompBoxGUIEditor&) = delete;
    CORVStompBoxGUIEditor& operator=(const CORVStompBoxGUIEditor&) = delete;

    // PluginGUIEditor
    void setParameter(int32_t index, float value) override;
    bool getRect(VSTGUI::ERect** r) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;

    // CControlListener
    void valueChanged(VSTGUI::CControl* control) override;
    int32_t controlModifierClicked(VSTGUI::CControl*, int32_t) override { return 0; }

    // What the host glue passes on.
    void queueControlUpdate(int32_t index, float value);
    void setKeepDisplayText(bool keep) { keepDisplayText = keep; }
    void requestReopen(bool reopen) { reopenRequested = reopen; }
    void showMessage(const std::string& text);
    void refreshBegin();
    void refreshEnd();
    // The effect's preset table changed from outside (another program saved
    // or deleted a preset): the menus list it anew.
    void presetsChanged();

    bool isOpen() const { return opened; }
    CORVStompBoxCtrlBaseSet* controlSet() const { return ctrlSet.get(); }
    CORVEffectProcess* instance() const { return effectInstance; }
    const CORVIdleTimer& idleTimer() const { return timer; }

protected:
    CORVEffectProcess* effectInstance;
    CORVStompBoxGUIContainer* container;
    // Built by the concrete editor for the instance's effect; none for a
    // code without a panel.
    std::unique_ptr<CORVStompBoxCtrlBaseSet> ctrlSet;

private:
    void showOnOffState();
    void showSyncedTempo(int32_t index, float value);
    void showParameter(int32_t index, float value);
    void refreshAll(bool flash);
    void rebuildPresetMenus();
    void selectCurrentPresetEntry();
    void selectPresetEntry(const std::string& name);
    void selectMatchingPreset();
    void updateModifiedIndicator();
    void choosePresetNumber(VSTGUI::CControl* control);
    void chooseSaveEntry();
    void chooseOption(const std::string& entry);
    void beginSaveAs();
    void finishSaveAs();
    void showAbout();
    void hideAbout();
    // Parameters a panel's hook changed without a control of their own
    // (the tuner's reference buttons) reach the host here.
    void passHookChangesToHost();
    void setLed(int32_t frame);
    void redraw(VSTGUI::CControl* control);

    std::vector<int32_t> pendingIndices;
    std::vector<float> pendingValues;
    bool pendingFlag = false;
    CORVIdleTimer timer;
    bool reopenRequested = false;
    bool opened = false;
    bool keepDisplayText = true;
    bool namingPreset = false;
    VSTGUI::CSplashScreen* about = nullptr;
};

// The concrete editor of the real-time host: builds the effect's panel and
// tells the host when the user takes hold of a control and lets it go.
class CORVStompBoxGUIEditorRTAS : public CORVStompBoxGUIEditor {
public:
    explicit CORVStompBoxGUIEditorRTAS(CORVEffectProcess* instance);
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;

private:
    // The instance's meters are on their scale already; its readings are
    // the effect's.
    class InstanceReadings : public PedalReadings {
    public:
        explicit InstanceReadings(const CORVEffectProcess& instance) : instance(instance) {}
        float read(ReadingKind kind) const override;
        float level(bool input, int channel) const override;

    private:
        const CORVEffectProcess& instance;
    };
    InstanceReadings instanceReadings;
};
