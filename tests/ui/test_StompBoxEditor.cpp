// The editor over a real effect instance, drawn in memory: what a gesture
// does to the instance and the display, what the host's changes do to the
// pedal, and what the preset menus do to the user preset file.
#include "core/CORVEffectProcessRTAS.h"
#include "core/CORVPresetDocument.h"
#include "tests/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/editor/CORVEffectCustomUI.h"
#include "ui/editor/EditorTags.h"
#include "ui/vstgui/CParamDisplay.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

constexpr int32_t kOverdrive = 110;
constexpr int32_t kTremolo = 180;

// An instance as a host makes it, with its editor open in memory.
struct Pedal {
    explicit Pedal(int32_t code)
    {
        RegisterStompBoxEditor();
        SProcessContext context;
        context.sampleRate = 48000.0;
        context.numChannels = 2;
        instance = std::make_unique<CORVEffectProcessRTAS>(code, context);
        instance->Initialize();
        view = dynamic_cast<CORVEffectCustomUI*>(instance->CreateView());
        EXPECT_TRUE(view && view->OpenWindow(nullptr));
    }
    CORVStompBoxGUIEditor& editor() { return view->Editor(); }
    CFrame& frame() { return *editor().getFrame(); }
    CControl* control(int32_t tag) { return editor().controlSet()->control(tag); }
    CORVOptionMenu& menu(int32_t tag) { return dynamic_cast<CORVOptionMenu&>(*control(tag)); }
    std::string display() { return editor().controlSet()->displayText(); }
    bool shows(int32_t tag) { return frame().isChild(control(tag)); }
    const CORVDSPParameter& parameter(int32_t index) { return *instance->GetAlgorithm()->GetParameter(index); }
    // A pop-up's choice, as the menu reports it when the user picks an entry.
    void choose(int32_t tag, int32_t position, int32_t submenuTag = -1)
    {
        COptionMenu* in = submenuTag < 0 ? &menu(tag) : &menu(submenuTag);
        menu(tag).menuChosen(in, position);
    }
    std::vector<std::string> entries(int32_t tag)
    {
        std::vector<std::string> titles;
        for (int32_t i = 0; i < menu(tag).getNbEntries(); ++i)
            titles.push_back(menu(tag).getEntry(i)->isSeparator() ? "-" : menu(tag).getEntry(i)->getTitle());
        return titles;
    }

    std::unique_ptr<CORVEffectProcessRTAS> instance;
    CORVEffectCustomUI* view = nullptr;
};

CPoint Centre(const CControl& control)
{
    const CRect& r = control.getViewSize();
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::vector<CORVDSPPreset> UserPresets(const std::string& path, uint32_t fourCC)
{
    const auto document = CORVPresetDocument::Parse(testing_support::ReadFile(path));
    return document ? document->ReadPresets(fourCC) : std::vector<CORVDSPPreset>{};
}

} // namespace

TEST(StompBoxEditor, OpensWithTheEffectsValuesAndCarriesAKnobDragToTheInstance)
{
    testing_support::ScopedDocumentsFolder documents;
    Pedal pedal(kOverdrive);
    EXPECT_EQ(pedal.display(), "Welcome to Orvanta OD - Overdrive!");
    EXPECT_EQ(pedal.frame().getBackground(), pedal.editor().controlSet()->backgroundBitmap());
    EXPECT_FALSE(pedal.shows(tags::kPresetName));
    EXPECT_FALSE(pedal.shows(tags::kPresetModified)) << "the default preset is unchanged";
    EXPECT_EQ(pedal.menu(tags::kPresetMenu).getCurrent()->getTitle(), std::string("Default"));
    EXPECT_TRUE(pedal.editor().idleTimer().isRunning());

    pedal.editor().setKnobMode(kLinearMode);
    CControl* drive = pedal.control(2);
    const float before = pedal.instance->GetParameterValue(2);
    Drag(pedal.frame(), Centre(*drive), CPoint(Centre(*drive).x, Centre(*drive).y - 40));
    pedal.editor().setKnobMode(kCircularMode);
    const float after = pedal.instance->GetParameterValue(2);
    EXPECT_GT(after, before + 0.05f);
    EXPECT_NEAR(after, drive->getValue(), 1e-6f);
    EXPECT_EQ(pedal.parameter(2).normValue, after) << "the algorithm hears the change";
    EXPECT_FALSE(pedal.instance->IsControlTouched(2)) << "released with the mouse button";
    EXPECT_EQ(pedal.display(), pedal.parameter(2).GetText(true, true).str());
    EXPECT_TRUE(pedal.shows(tags::kPresetModified));

    // Back to the stored value: the preset is no longer modified.
    drive->setValue(before);
    pedal.editor().valueChanged(drive);
    EXPECT_FALSE(pedal.shows(tags::kPresetModified));

    // The foot switch toggles the instance's bypass and the display says so.
    CControl* foot = pedal.control(tags::kFootSwitch);
    Click(pedal.frame(), Centre(*foot));
    EXPECT_TRUE(pedal.instance->GetAlgorithm()->bypassed);
    EXPECT_EQ(pedal.control(tags::kStatusLed)->getValue(), 0.0f);
    Click(pedal.frame(), Centre(*foot));
    EXPECT_FALSE(pedal.instance->GetAlgorithm()->bypassed);
    EXPECT_FLOAT_EQ(pedal.control(tags::kStatusLed)->getValue(), 1.0f / 9.0f);

    // Closing keeps the controls for the next opening.
    pedal.view->CloseWindow();
    EXPECT_FALSE(pedal.editor().idleTimer().isRunning());
    ASSERT_TRUE(pedal.view->OpenWindow(nullptr));
    EXPECT_EQ(pedal.control(2), drive);
    EXPECT_TRUE(pedal.shows(2));
}

TEST(StompBoxEditor, HostChangesQueueUntilIdleAndTheDisplayTellsSyncAndTapStates)
{
    testing_support::ScopedDocumentsFolder documents;
    Pedal pedal(kTremolo);
    CControl* depth = pedal.control(2);
    pedal.view->QueueControlUpdate(2, 0.25f);
    pedal.view->QueueControlUpdate(4, 0.5f);
    pedal.view->QueueControlUpdate(2, 0.75f);
    EXPECT_NE(depth->getValue(), 0.75f);
    pedal.view->Idle();
    EXPECT_EQ(depth->getValue(), 0.75f) << "the last queued change wins";
    EXPECT_EQ(pedal.control(4)->getValue(), 0.5f);

    // Sync settings 3 and 8 at a host tempo of 120 BPM, shown while a change
    // is under way and put back when the display keeps its text.
    constexpr int32_t kSync = 5;
    pedal.instance->GetAlgorithm()->tempo = 120.0;
    const auto syncAt = [&](int32_t setting) {
        pedal.instance->GetAlgorithm()->OnParameterChange(kSync, pedal.parameter(kSync).NormalizedFromPlain(float(setting)));
        pedal.view->SetControl(kSync, pedal.parameter(kSync).normValue);
    };
    pedal.view->BeginChange();
    syncAt(3);
    EXPECT_EQ(pedal.display(), "Host: 120.00 FX: 120.00 BPM");
    EXPECT_EQ(pedal.control(kSync)->getValue(), 3.0f) << "the menu shows the setting";
    syncAt(8);
    EXPECT_EQ(pedal.display(), "Host: 120.00 FX: 720.00 BPM");
    pedal.view->ClearChange();
    syncAt(5);
    EXPECT_EQ(pedal.display(), "Host: 120.00 FX: 720.00 BPM") << "kept while no change is under way";

    // Tap mode: armed, then waiting for the second press.
    constexpr int32_t kTap = 6;
    pedal.view->BeginChange();
    pedal.instance->SetParameterValue(kTap, 1.0f);
    EXPECT_FLOAT_EQ(pedal.control(tags::kStatusLed)->getValue(), 4.0f / 9.0f);
    pedal.instance->GetAlgorithm()->SetTapState(1.0f);
    pedal.view->SetControl(tags::kFootSwitch, 1.0f);
    EXPECT_EQ(pedal.display().rfind("(Tap) ", 0), 0u) << pedal.display();
    pedal.instance->GetAlgorithm()->SetTapState(0.0f);
    pedal.view->SetControl(tags::kFootSwitch, 1.0f);
    EXPECT_EQ(pedal.display(), "Press On-Off again");
    EXPECT_FLOAT_EQ(pedal.control(tags::kStatusLed)->getValue(), 5.0f / 9.0f);
}

TEST(StompBoxEditor, PresetMenuMovesEveryControlAndSaveMenuEditsOnlyItsPresetInTheFile)
{
    testing_support::ScopedDocumentsFolder documents;
    // Another effect's preset already in the file must survive every change.
    uint32_t otherEffect = 0;
    {
        Pedal tremolo(kTremolo);
        otherEffect = tremolo.instance->GetAlgorithm()->fourCC;
        ASSERT_TRUE(tremolo.instance->SaveUserPreset("Theirs"));
    }
    const std::vector<CORVDSPPreset> theirs = UserPresets(documents.PresetFilePath(), otherEffect);

    Pedal pedal(kOverdrive);
    const std::vector<std::string> factory = pedal.entries(tags::kPresetMenu);
    ASSERT_GE(factory.size(), 3u);
    pedal.choose(tags::kPresetMenu, 2);
    EXPECT_EQ(pedal.display(), "Preset: " + factory[2]);
    for (const auto& [index, parameter] : pedal.instance->GetAlgorithm()->parameters) {
        EXPECT_EQ(parameter->value, pedal.instance->GetAlgorithm()->presets.at(2)->values[size_t(index - 2)]);
        EXPECT_NEAR(pedal.instance->GetParameterValue(index), parameter->normValue, 1e-6f);
        if (CControl* shown = pedal.control(index)) {
            EXPECT_EQ(shown->getValue(), parameter->normValue) << index;
        }
    }
    EXPECT_FALSE(pedal.menu(tags::kSaveMenu).getEntry(2)->isEnabled()) << "no user preset to delete";

    // "Save As..." names the preset in the text field.
    pedal.control(3)->setValue(0.123f);
    pedal.editor().valueChanged(pedal.control(3));
    pedal.choose(tags::kSaveMenu, 1);
    ASSERT_TRUE(pedal.shows(tags::kPresetName));
    Type(pedal.frame(), "My lead");
    PressKey(pedal.frame(), VKEY_RETURN);
    EXPECT_FALSE(pedal.shows(tags::kPresetName));
    const uint32_t fourCC = pedal.instance->GetAlgorithm()->fourCC;
    std::vector<CORVDSPPreset> mine = UserPresets(documents.PresetFilePath(), fourCC);
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine[0].name, "My lead");
    EXPECT_EQ(mine[0].values[1], pedal.parameter(3).value);
    std::vector<std::string> expected = factory;
    expected.insert(expected.end(), {"-", "My lead"});
    EXPECT_EQ(pedal.entries(tags::kPresetMenu), expected);
    EXPECT_EQ(pedal.menu(tags::kPresetMenu).getCurrent()->getTitle(), std::string("My lead"));
    EXPECT_FALSE(pedal.shows(tags::kPresetModified));

    // "Save" on a user preset changes its values in place.
    pedal.control(3)->setValue(0.875f);
    pedal.editor().valueChanged(pedal.control(3));
    EXPECT_TRUE(pedal.shows(tags::kPresetModified));
    pedal.choose(tags::kSaveMenu, 0);
    mine = UserPresets(documents.PresetFilePath(), fourCC);
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine[0].values[1], pedal.parameter(3).value);
    EXPECT_FALSE(pedal.shows(tags::kPresetModified));

    // "Delete" lists the user presets and removes the chosen one.
    ASSERT_TRUE(pedal.menu(tags::kSaveMenu).getEntry(2)->isEnabled());
    pedal.choose(tags::kSaveMenu, 0, tags::kUserPresetList);
    EXPECT_TRUE(UserPresets(documents.PresetFilePath(), fourCC).empty());
    EXPECT_EQ(pedal.entries(tags::kPresetMenu), factory);
    const std::vector<CORVDSPPreset> after = UserPresets(documents.PresetFilePath(), otherEffect);
    ASSERT_EQ(after.size(), theirs.size());
    EXPECT_EQ(after[0].name, "Theirs");
    EXPECT_EQ(after[0].values, theirs[0].values);
}

TEST(StompBoxEditor, EditorsShareOneStoreOfPicturesThatTheLastOneFrees)
{
    testing_support::ScopedDocumentsFolder documents;
    const int32_t users = CORVStompBoxGUIContainer::userCount();
    auto first = std::make_unique<Pedal>(kOverdrive);
    auto second = std::make_unique<Pedal>(kTremolo);
    EXPECT_EQ(CORVStompBoxGUIContainer::userCount(), users + 2);
    CBitmap* knob = second->control(2)->getBackground();
    first.reset();
    EXPECT_EQ(CORVStompBoxGUIContainer::userCount(), users + 1);
    EXPECT_EQ(second->control(2)->getBackground(), knob);
    second->frame().idle();
    EXPECT_GT(knob->getWidth(), 0);
    second.reset();
    EXPECT_EQ(CORVStompBoxGUIContainer::userCount(), users);
}

TEST(StompBoxEditor, AWindowThatCannotBeMadeIsAnErrorAndOpensNothing)
{
    testing_support::ScopedDocumentsFolder documents;
    Pedal pedal(kOverdrive);
    pedal.view->CloseWindow();
    void* unknownWindow = reinterpret_cast<void*>(uintptr_t(0x7ffffff0));
    EXPECT_FALSE(pedal.view->OpenWindow(unknownWindow));
    EXPECT_FALSE(pedal.editor().isOpen());
    EXPECT_EQ(pedal.editor().getFrame(), nullptr);
}

TEST(StompBoxEditor, TunerButtonsMoveTheReferenceForTheHostToo)
{
    testing_support::ScopedDocumentsFolder documents;
    constexpr int32_t kTuner = 10;
    constexpr int32_t kReference = 2;
    constexpr int32_t kRaise = 33;
    Pedal pedal(kTuner);
    const float before = pedal.parameter(kReference).value;
    CControl* raise = pedal.control(kRaise);
    Click(pedal.frame(), Centre(*raise));
    EXPECT_EQ(pedal.parameter(kReference).value, before + 1.0f);
    // The host's control follows, so that the session saves the new pitch.
    EXPECT_NEAR(pedal.instance->GetParameterValue(kReference), pedal.parameter(kReference).normValue, 1e-6f);
}

TEST(StompBoxEditor, AboutViewCoversThePedalUntilClicked)
{
    testing_support::ScopedDocumentsFolder documents;
    Pedal pedal(kOverdrive);
    const int32_t views = pedal.frame().getNbViews();
    pedal.choose(tags::kOptionsMenu, 3);
    EXPECT_EQ(pedal.menu(tags::kOptionsMenu).getCurrent()->getTitle(), std::string("About Plug-In"));
    pedal.frame().idle();
    // The about picture lies over the foot switch: a click there closes it
    // and the effect stays on.
    const CPoint foot = Centre(*pedal.control(tags::kFootSwitch));
    EXPECT_NE(pedal.frame().getViewAt(foot), pedal.control(tags::kFootSwitch));
    Click(pedal.frame(), foot);
    pedal.view->Idle();
    EXPECT_FALSE(pedal.instance->GetAlgorithm()->bypassed);
    EXPECT_EQ(pedal.frame().getNbViews(), views);
    EXPECT_EQ(pedal.frame().getViewAt(foot), pedal.control(tags::kFootSwitch));
}

TEST(StompBoxEditor, LevelMetersShowTheInstancesPeaksOnTheirScale)
{
    testing_support::ScopedDocumentsFolder documents;
    constexpr int32_t kLevelControl = 100;
    Pedal pedal(kLevelControl);
    pedal.instance->Prepare(512);
    // Half scale on the left, a tenth on the right: -6.02 and -20 dBFS.
    std::vector<float> left(512), right(512);
    for (size_t i = 0; i < left.size(); ++i) {
        const float wave = float(std::sin(0.05 * double(i)));
        left[i] = 0.5f * wave;
        right[i] = 0.1f * wave;
    }
    const std::vector<float> inLeft = left, inRight = right;
    float* channels[2] = {left.data(), right.data()};
    pedal.instance->Render(channels, channels, 512);
    pedal.view->Idle();
    const auto meter = [](const std::vector<float>& signal) {
        return (20.0f * std::log10(testing_support::Peak(signal)) + 60.0f) / 60.0f;
    };
    EXPECT_NEAR(pedal.control(27)->getValue(), meter(inLeft), 1e-4f);
    EXPECT_NEAR(pedal.control(28)->getValue(), meter(inRight), 1e-4f);
    EXPECT_NEAR(pedal.control(29)->getValue(), meter(left), 1e-4f);
    EXPECT_NEAR(pedal.control(30)->getValue(), meter(right), 1e-4f);
    EXPECT_NEAR(pedal.control(27)->getValue(), 0.8997f, 1e-3f);
}
