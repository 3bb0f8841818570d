#pragma once
// The 36 pedals.  Those that differ only in what their row of the panel
// table puts on the face are the table panel under the effect's code; the
// others add the behaviour no row can carry.
#include "ui/editor/CORVStompBoxPanel.h"

#include <string>

// A pedal that is its table row and nothing more.
template <int32_t Code>
class CORVTablePanel : public CORVStompBoxPanel {
public:
    static constexpr int32_t kCode = Code;
    CORVTablePanel(CORVDSPAlgInterface* algorithm, VSTGUI::CControlListener* listener,
                   CORVStompBoxGUIContainer* container, int32_t effectCode = Code)
        : CORVStompBoxPanel(algorithm, listener, container, effectCode)
    {
    }
};

using CORVAutoPanGUI = CORVTablePanel<5>;
using CORVAutoWahGUI = CORVTablePanel<15>;
using CORVBluesDriveGuitarGUI = CORVTablePanel<25>;
using CORVCleanPreampGuitarGUI = CORVTablePanel<30>;
using CORVCrunchPreampGuitarGUI = CORVTablePanel<40>;
using CORVDistortionGUI = CORVTablePanel<45>;
using CORVDistortionBassGUI = CORVTablePanel<50>;
using CORVExciterGUI = CORVTablePanel<55>;
using CORVFlangerGUI = CORVTablePanel<65>;
using CORVFlangerBassGUI = CORVTablePanel<70>;
using CORVGraphicEQBassGUI = CORVTablePanel<75>;
using CORVGraphicEQGuitarGUI = CORVTablePanel<80>;
using CORVHiGainPreampGuitarGUI = CORVTablePanel<85>;
using CORVChorusGUI = CORVTablePanel<90>;
using CORVChorusBassGUI = CORVTablePanel<95>;
using CORVOverDriveGUI = CORVTablePanel<110>;
using CORVOverDriveBassGUI = CORVTablePanel<115>;
using CORVOctaverGUI = CORVTablePanel<120>;
using CORVPhaserGUI = CORVTablePanel<135>;
using CORVPhaserBassGUI = CORVTablePanel<140>;
using CORVBassPreampGUI = CORVTablePanel<145>;
using CORVPedalWahGUI = CORVTablePanel<150>;
using CORVReverbGUI = CORVTablePanel<155>;
using CORVToneControlBassGUI = CORVTablePanel<170>;
using CORVToneControlGuitarGUI = CORVTablePanel<175>;
using CORVTremoloGUI = CORVTablePanel<180>;

// The compressor and the expander gate show their ratio with an infinite
// end and light their LED from the gain computer.
class CORVCompressorGUI : public CORVTablePanel<35> {
public:
    using CORVTablePanel::CORVTablePanel;
    void idle() override;
    void parameterText(int32_t tag, float value) override;
};

class CORVExpanderGateGUI : public CORVTablePanel<60> {
public:
    using CORVTablePanel::CORVTablePanel;
    void idle() override;
    void parameterText(int32_t tag, float value) override;
};

// " Ratio: 4.00 : 1", or " Ratio: Inf : 1 " at the top of the range.
std::string RatioText(const CORVDSPParameter& ratio);

// The noise gate reports the threshold it learnt and lights while shut.
class CORVNoiseGateGUI : public CORVTablePanel<105> {
public:
    using CORVTablePanel::CORVTablePanel;
    void idle() override;

private:
    bool wasLearning = false;
};

// The delay's foot switch steps through its hold cycle.
class CORVBPMDelayGUI : public CORVTablePanel<20> {
public:
    using CORVTablePanel::CORVTablePanel;
    void parameterText(int32_t tag, float value) override;

private:
    void showHoldState(bool drivesBypass);
    void showOnOff();
};

// Four meters: input and output levels of both channels.
class CORVLevelControlGUI : public CORVTablePanel<100> {
public:
    using CORVTablePanel::CORVTablePanel;
    void idle() override;
};


// The amplifier picture glows while the pedal is on.
class CORVPowerAmpGuitarGUI : public CORVTablePanel<125> {
public:
    using CORVTablePanel::CORVTablePanel;
    void parameterText(int32_t tag, float value) override;
};

// The filter's width reads as Q, bandwidth or slope by the filter type.
class CORVParametricEQGUI : public CORVTablePanel<130> {
public:
    using CORVTablePanel::CORVTablePanel;
    void parameterText(int32_t tag, float value) override;
};

// The speaker type is a menu whose positions are the parameter's units.
class CORVSpeakerSimulatorPanel : public CORVStompBoxPanel {
public:
    using CORVStompBoxPanel::CORVStompBoxPanel;
    void controlChanged(VSTGUI::CControl* changed) override;
    void parameterText(int32_t tag, float value) override;
};

class CORVSpeakerSimulatorBassGUI : public CORVSpeakerSimulatorPanel {
public:
    static constexpr int32_t kCode = 160;
    CORVSpeakerSimulatorBassGUI(CORVDSPAlgInterface* algorithm, VSTGUI::CControlListener* listener,
                                CORVStompBoxGUIContainer* container, int32_t effectCode = kCode)
        : CORVSpeakerSimulatorPanel(algorithm, listener, container, effectCode)
    {
    }
};

class CORVSpeakerSimulatorGuitarGUI : public CORVSpeakerSimulatorPanel {
public:
    static constexpr int32_t kCode = 165;
    CORVSpeakerSimulatorGuitarGUI(CORVDSPAlgInterface* algorithm, VSTGUI::CControlListener* listener,
                                  CORVStompBoxGUIContainer* container, int32_t effectCode = kCode)
        : CORVSpeakerSimulatorPanel(algorithm, listener, container, effectCode)
    {
    }
};

// The tuner: note, frequency, lamps and bars from the analyser's readings,
// and two buttons that move the reference pitch.
class CORVAutoTunerGUI : public CORVTablePanel<10> {
public:
    CORVAutoTunerGUI(CORVDSPAlgInterface* algorithm, VSTGUI::CControlListener* listener,
                     CORVStompBoxGUIContainer* container, int32_t effectCode = kCode);
    void idle() override;
    void parameterText(int32_t tag, float value) override;

private:
    bool upHeld = false;
    bool downHeld = false;
};

