// The stomp boxes: the shared store of pictures and places, the controls
// every pedal has, the 36 panels built on the real effects, and the panel
// behaviour whose numbers or texts could come out wrong.
#include "core/CORVEffectCatalogue.h"
#include "dsp/CORVBPMParRelations.h"
#include "resources/artwork/FaceLayout.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/controls/CKnobEX.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/controls/CSliderEX.h"
#include "ui/editor/CORVPanels.h"
#include "ui/editor/EditorTags.h"
#include "ui/vstgui/CParamDisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace ui_test;

namespace {

// The process's store for one test.
struct Store {
    CORVStompBoxGUIContainer* shared = CORVStompBoxGUIContainer::acquire();
    ~Store()
    {
        CORVStompBoxGUIContainer::release();
        SetResourceLoader(nullptr);
    }
};

// A panel on a real algorithm of the catalogue.
struct Pedal {
    Pedal(int32_t code, CORVStompBoxGUIContainer* shared)
        : algorithm(CreateAlgorithm(code, 44100.0, 512)),
          panel(CreatePanel(algorithm.get(), &recorder, shared, code))
    {
    }
    void setPlain(int32_t index, float plain)
    {
        const CORVDSPParameter* p = algorithm->GetParameter(index);
        algorithm->OnParameterChange(index, p->NormalizedFromPlain(plain));
    }
    float value(int32_t tag) const { return panel->control(tag)->getValue(); }
    std::string text(int32_t tag) const { return dynamic_cast<CTextEdit&>(*panel->control(tag)).getText(); }

    Recorder recorder;
    std::unique_ptr<CORVDSPAlgInterface> algorithm;
    std::unique_ptr<CORVStompBoxCtrlBaseSet> panel;
};

bool IsMeter(const CControl& c) { return dynamic_cast<const CVuMeter*>(&c) != nullptr; }

// Whether a control paints the pixel (x, y) of the pedal: meters and text
// fields fill their rectangle, the others their picture's opaque pixels.
bool Paints(const CControl& c, CCoord x, CCoord y)
{
    const CRect& r = c.getViewSize();
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom)
        return false;
    if (IsMeter(c) || (dynamic_cast<const CParamDisplay*>(&c) && !c.getBackground()))
        return true;
    CBitmap* picture = c.getBackground();
    return picture && OpaqueInAnyFrame(*picture, r.getHeight(), x - r.left, y - r.top);
}

int OverlappingPixels(const CControl& a, const CControl& b)
{
    const CRect& ra = a.getViewSize();
    const CRect& rb = b.getViewSize();
    int count = 0;
    for (CCoord y = std::max(ra.top, rb.top); y < std::min(ra.bottom, rb.bottom); ++y)
        for (CCoord x = std::max(ra.left, rb.left); x < std::min(ra.right, rb.right); ++x)
            count += Paints(a, x, y) && Paints(b, x, y) ? 1 : 0;
    return count;
}

// Where the layout itself puts controls over each other (code, tags): the
// level control's and the octaver's small knobs under the large one, the
// level control's switch between its small knobs, the tone controls' type
// switch over the lower edge of the knob row, and the tuner's note text over
// the parameter display.  Kept here so that any other overlap fails.
struct Collision { int32_t code, first, second; bool operator==(const Collision&) const = default; };
constexpr Collision kCollisions[] = {
    {10, 21, 23}, {10, 24, 26}, {100, 2, 3}, {100, 3, 5}, {100, 4, 5}, {120, 2, 3},
    {170, 3, 6},  {170, 4, 6},  {170, 5, 6}, {175, 3, 6}, {175, 4, 6}, {175, 5, 6},
};

} // namespace

// The first user makes the store and the last frees it; a second user gets
// the same store.  Loading an id again replaces and releases the old picture.
TEST(StompBoxStore, OneStoreSharedByItsUsersAndFreedWithTheLast)
{
    CORVStompBoxGUIContainer* first = CORVStompBoxGUIContainer::acquire();
    CORVStompBoxGUIContainer* second = CORVStompBoxGUIContainer::acquire();
    EXPECT_EQ(first, second);
    EXPECT_EQ(CORVStompBoxGUIContainer::userCount(), 2);
    for (const IdRange& range : SharedBitmapLoadOrder())
        for (int32_t id = range.first; id <= range.last; ++id)
            EXPECT_NE(first->bitmap(id), nullptr) << id;
    EXPECT_EQ(first->allBitmaps().size(), 112u);
    EXPECT_EQ(first->bitmap(522), nullptr) << "backgrounds belong to the control sets";
    EXPECT_EQ(first->anchor(55), CRect()) << "an unknown key is the top-left corner";

    CBitmap* old = first->bitmap(300);
    old->remember();
    first->loadBitmap(300);
    EXPECT_NE(first->bitmap(300), old);
    EXPECT_EQ(old->getNbReference(), 1);
    old->forget();

    CORVStompBoxGUIContainer::release();
    EXPECT_EQ(CORVStompBoxGUIContainer::userCount(), 1);
    CORVStompBoxGUIContainer::release();
    EXPECT_EQ(CORVStompBoxGUIContainer::userCount(), 0);
    SetResourceLoader(nullptr);
}

// Plain codes take 500 + code / 5; the variant codes between them the five
// pictures after 536.
TEST(StompBoxBackground, EveryCodeHasItsPicture)
{
    const std::pair<int32_t, int32_t> cases[] = {{110, 522}, {5, 501}, {180, 536}, {1, 537}, {4, 540}, {6, 541}};
    for (auto [code, id] : cases)
        EXPECT_EQ(BackgroundIdFor(code), id) << code;
    std::set<int32_t> ids;
    for (const CatalogueEntry& entry : kCatalogue)
        ids.insert(BackgroundIdFor(entry.effectId));
    EXPECT_EQ(ids.size(), kEffectCount);
    EXPECT_EQ(*ids.begin(), 501);
    EXPECT_EQ(*ids.rbegin(), 536);
}

TEST(StompBoxBaseSet, CommonControlsAndReplacement)
{
    Store store;
    auto algorithm = CreateAlgorithm(110, 44100.0, 512);
    Recorder recorder;
    CORVStompBoxCtrlBaseSet set(algorithm.get(), &recorder, store.shared, 110);
    std::set<int32_t> tagsFound;
    for (const auto& [tag, c] : set.allControls())
        tagsFound.insert(tag);
    EXPECT_EQ(tagsFound, (std::set<int32_t>{1, 2, 3, 4, 5, 15, 16, 17, 18, 19, 20, 21, 22, 35, 36}));
    // Foot switch: 161 wide, one of two 38-pixel frames; LED one of ten 15s.
    EXPECT_EQ(set.control(1)->getViewSize(), CRect(12, 278, 173, 316));
    EXPECT_EQ(set.control(16)->getViewSize(), CRect(85, 259, 100, 274));
    EXPECT_EQ(set.control(5)->getViewSize(), CRect(136, 58, 181, 103));
    EXPECT_EQ(set.control(21)->getViewSize(), CRect(16, 126, 168, 143));

    CControl* replaced = set.control(3);
    replaced->remember();
    auto* added = new CKnobEX(CRect(0, 0, 10, 10), &recorder, 3, nullptr, nullptr);
    set.putControl(3, added);
    EXPECT_EQ(set.control(3), added);
    EXPECT_EQ(replaced->getNbReference(), 1) << "the set let go of the replaced knob";
    replaced->forget();
    EXPECT_EQ(set.control(40), nullptr);

    // Level 30, colour 60, drive 90 of 0..100: the knobs take them.
    for (auto [index, plain] : {std::pair{2, 30.0f}, {3, 60.0f}, {4, 90.0f}})
        algorithm->OnParameterChange(index, algorithm->GetParameter(index)->NormalizedFromPlain(plain));
    set.initialiseFromParameters();
    EXPECT_NEAR(set.control(2)->getValue(), 0.3f, 1e-6f);
    EXPECT_NEAR(set.control(4)->getDefaultValue(), 0.9f, 1e-6f);
    EXPECT_EQ(set.control(5)->getValue(), 0.0f) << "no parameter 5";
}

// Every pedal on its real effect: parameter controls match parameters, every
// parameter is shown, every control lies on the pedal, no two paint the same
// pixel, and every picture and place the table names exists.
TEST(StompBoxPanels, EveryPanelFitsItsEffectAndItsPedal)
{
    Store store;
    std::set<std::string> classNames;
    for (const CatalogueEntry& entry : kCatalogue) {
        const int32_t code = entry.effectId;
        SCOPED_TRACE(code);
        Pedal pedal(code, store.shared);
        ASSERT_TRUE(pedal.panel);
        const PanelRow* row = FindPanelRow(code);
        ASSERT_NE(row, nullptr);
        classNames.insert(row->className);
        const auto& controls = pedal.panel->allControls();
        for (const auto& [tag, c] : controls) {
            const bool parameterTag = tag >= tags::kFirstParameter && tag <= tags::kLastParameter;
            EXPECT_TRUE(!parameterTag || tag == row->ledTag || pedal.algorithm->GetParameter(tag)) << "tag " << tag;
        }
        for (const auto& [index, parameter] : pedal.algorithm->parameters) {
            const bool byHook = std::count(row->hookParameters.begin(), row->hookParameters.end(), index) > 0;
            EXPECT_TRUE(index < 2 || controls.count(index) || byHook) << parameter->name;
        }
        for (const PanelControl& control : row->controls) {
            EXPECT_TRUE(store.shared->hasAnchor(control.anchor)) << control.anchor;
            const auto [first, second] = BitmapsOf(control);
            for (int32_t id : {first, second})
                EXPECT_TRUE(id == 0 || store.shared->bitmap(id)) << id;
        }
        std::vector<const CControl*> shown;
        for (const auto& [tag, c] : controls) {
            if (tag == tags::kPresetName || tag == tags::kHiddenButtonA || tag == tags::kHiddenButtonB)
                continue;
            const CRect& r = c->getViewSize();
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 185 && r.bottom <= 320) << "tag " << tag;
            EXPECT_TRUE(tag == tags::kUserPresetList || (r.getWidth() > 0 && r.getHeight() > 0)) << "tag " << tag;
            shown.push_back(c);
        }
        // Neighbouring knobs of a row 44 pixels apart share the rim
        // column of their 45-pixel bodies: up to six pixels only touch.
        for (size_t i = 0; i < shown.size(); ++i) {
            for (size_t j = i + 1; j < shown.size(); ++j) {
                const int32_t a = shown[i]->getTag(), b = shown[j]->getTag();
                const bool known = std::count(std::begin(kCollisions), std::end(kCollisions), Collision{code, a, b}) > 0;
                if (code == 10 && a >= 30 && b <= 32)
                    continue; // the tuner's display stacks its in-tune meter and its two bars
                const int shared = OverlappingPixels(*shown[i], *shown[j]);
                EXPECT_EQ(shared > 6, known) << "tags " << a << " and " << b << ": " << shared << " pixels";
            }
        }
    }
    EXPECT_EQ(classNames.size(), kEffectCount);
}

// The equalisers' eight sliders stand 18 pixels apart from x 17; the
// exciter's five from x 47.
TEST(StompBoxPanels, SliderRowsStepByEighteenPixels)
{
    Store store;
    Pedal eq(75, store.shared);
    for (int32_t i = 0; i < 8; ++i)
        EXPECT_EQ(eq.panel->control(2 + i)->getViewSize().left, 17 + 18 * i) << i;
    Pedal exciter(55, store.shared);
    const int32_t order[] = {3, 4, 5, 8, 9};
    for (int32_t i = 0; i < 5; ++i)
        EXPECT_EQ(exciter.panel->control(order[i])->getViewSize().left, 47 + 18 * i) << order[i];
}

// x = 3 S v; positions from x - S, truncated, at most S.
TEST(StompBoxPanels, SteppedKnobsSnap)
{
    struct Case { float value; int32_t steps; float snapped; };
    const Case cases[] = {
        {0.0f, 4, 0.0f}, {0.4f, 4, 0.0f}, {0.45f, 4, 0.25f}, {0.55f, 4, 0.5f}, {0.7f, 4, 1.0f}, {1.0f, 4, 1.0f},
        {0.6f, 5, 0.8f}, {0.5f, 6, 3.001f / 6.0f}, {1.0f, 6, 6.001f / 6.0f}, {0.3f, 6, 0.001f / 6.0f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(SnapSteppedKnob(c.value, c.steps), c.snapped) << c.value << " of " << c.steps;

    Store store;
    Pedal tremolo(180, store.shared);
    for (int32_t tag : {2, 3}) {
        tremolo.panel->control(tag)->setValue(0.45f);
        tremolo.panel->controlChanged(tremolo.panel->control(tag));
    }
    EXPECT_FLOAT_EQ(tremolo.value(3), 0.25f);
    EXPECT_FLOAT_EQ(tremolo.value(2), 0.45f) << "the tempo knob turns freely";
    Pedal reverb(155, store.shared);
    reverb.panel->control(5)->setValue(1.0f);
    reverb.panel->controlChanged(reverb.panel->control(5));
    EXPECT_GT(reverb.value(5), 1.0f);
}

TEST(StompBoxPanels, RatioTextsEndInInfinity)
{
    Store store;
    for (int32_t code : {35, 60}) {
        Pedal pedal(code, store.shared);
        pedal.setPlain(5, 4.0f);
        pedal.panel->parameterText(5, 0.0f);
        EXPECT_EQ(pedal.text(tags::kDisplay), " Ratio: 4.00 : 1") << code;
        pedal.setPlain(5, 50.0f);
        pedal.panel->parameterText(5, 1.0f);
        EXPECT_EQ(pedal.text(tags::kDisplay), " Ratio: Inf : 1 ") << code;
    }
}

TEST(StompBoxPanels, DelayBalanceAndHoldTexts)
{
    Store store;
    Pedal delay(20, store.shared);
    struct Case { float mode, stereo; const char* text; };
    const Case cases[] = {
        {0, 47, "Balance: Center"},      {0, 53, "Balance: Center"},    {0, 60, "Balance: 60.0 % Right"},
        {0, 30, "Balance: 70.0 % Left"}, {1, 0, "Single Delay"},        {1, 25, "Stereo: 25 %"},
    };
    for (const Case& c : cases) {
        delay.setPlain(6, c.mode);
        delay.setPlain(5, c.stereo);
        delay.panel->parameterText(5, c.stereo);
        EXPECT_EQ(delay.text(tags::kDisplay), c.text) << c.mode << " " << c.stereo;
    }
    auto& hold = dynamic_cast<CORVBPMParRelations&>(*delay.algorithm);
    struct HoldCase { int32_t state; bool bypassedAfter; float led; const char* text; };
    const HoldCase holds[] = {{1, true, 0.0f, "Decay: Hold (Bypassing)"},
                              {2, false, 3.0f / 9.0f, "Hold Mode: Sampling"},
                              {3, false, 5.0f / 9.0f, "Hold Mode: Playing"}};
    for (const HoldCase& h : holds) {
        hold.SetHoldMode(float(h.state));
        // The panel, not the cycle, must leave the bypass flag as stated.
        delay.algorithm->bypassed = !h.bypassedAfter;
        delay.panel->parameterText(tags::kFootSwitch, 1.0f);
        EXPECT_EQ(delay.algorithm->bypassed, h.bypassedAfter) << h.state;
        EXPECT_FLOAT_EQ(delay.value(tags::kStatusLed), h.led) << h.state;
        EXPECT_EQ(delay.text(tags::kDisplay), h.text);
    }
    hold.SetHoldMode(0.0f);
    delay.panel->parameterText(tags::kFootSwitch, 1.0f);
    EXPECT_EQ(delay.text(tags::kDisplay), "Hold Mode: Playing") << "the normal state changes nothing";
}

TEST(StompBoxPanels, LevelMetersSpanSixtyDecibels)
{
    const std::pair<float, float> cases[] = {{1.0f, 1.0f}, {0.1f, 40.0f / 60.0f}, {0.001f, 0.0f},
                                             {0.0f, 0.0f}, {2.0f, 1.0f},           {0.01f, 20.0f / 60.0f}};
    for (auto [level, shown] : cases)
        EXPECT_NEAR(MeterValue(level), shown, 1e-6f) << level;
}

// A sine held until the tuner settles, then its readings on the panel.
TEST(StompBoxPanels, TunerTextsAndLights)
{
    Store store;
    struct Case { double frequency; float reference; const char* note; float flat, sharp, inTune; };
    // A quarter tone up is 24.63 units sharp (50 to the next note); 440 Hz
    // against a 442 Hz reference 4.03 units flat.
    const Case cases[] = {
        {440.0, 440.0f, "A 4", 0.0f, 0.0f, 1.0f},
        {440.0 * std::pow(2.0, 1.0 / 24.0), 440.0f, "A 4", 0.0f, 24.63f / 25.0f, 0.0f},
        {440.0, 442.0f, "A 4", 4.03f / 25.0f, 0.0f, 0.0f},
        {277.18, 440.0f, "C 4#", 0.0f, 0.0f, 1.0f},
    };
    for (const Case& c : cases) {
        Pedal tuner(10, store.shared);
        tuner.setPlain(2, c.reference);
        std::vector<float> tone(4096);
        float peaks[2][2];
        for (size_t block = 0; block < 40; ++block) {
            for (size_t i = 0; i < tone.size(); ++i)
                tone[i] = 0.5f * float(std::sin(2.0 * M_PI * c.frequency * double(block * 4096 + i) / 44100.0));
            const float* in[2] = {tone.data(), tone.data()};
            std::vector<float> left(4096), right(4096);
            float* out[2] = {left.data(), right.data()};
            tuner.algorithm->Process(in, out, peaks[0], peaks[1], 4096);
        }
        tuner.panel->idle();
        EXPECT_EQ(tuner.text(23), c.note) << c.frequency;
        const std::string hz = tuner.text(24);
        ASSERT_GE(hz.size(), 4u);
        EXPECT_EQ(hz.substr(hz.size() - 3), " Hz");
        EXPECT_NEAR(std::stod(hz), c.frequency, 0.002 * c.frequency);
        EXPECT_EQ(hz[0], ' ');
        EXPECT_NEAR(tuner.value(32), c.flat, 0.004f) << c.frequency;
        EXPECT_NEAR(tuner.value(31), c.sharp, 0.004f);
        EXPECT_EQ(tuner.value(27), c.flat > 0 ? 1.0f : 0.0f);
        EXPECT_EQ(tuner.value(28), c.sharp > 0 ? 1.0f : 0.0f);
        EXPECT_EQ(tuner.value(29), c.inTune);
        EXPECT_EQ(tuner.value(30), c.inTune);
        EXPECT_EQ(tuner.text(25), "-25 c");
        EXPECT_EQ(tuner.text(26), "+25 c");

        tuner.algorithm->bypassed = true;
        tuner.panel->idle();
        EXPECT_EQ(tuner.text(23), "");
        EXPECT_EQ(tuner.text(24), "");
        for (int32_t tag = 27; tag <= 32; ++tag)
            EXPECT_EQ(tuner.value(tag), 0.0f) << tag;
    }
}

// A press moves the reference one hertz; holding the button does not repeat.
TEST(StompBoxPanels, TunerButtonsMoveTheReferenceOncePerPress)
{
    Store store;
    Pedal tuner(10, store.shared);
    tuner.setPlain(2, 440.0f);
    for (float v : {1.0f, 1.0f, 0.0f, 1.0f})
        tuner.panel->parameterText(33, v);
    EXPECT_EQ(tuner.algorithm->Value(2), 442.0f);
    tuner.panel->parameterText(34, 1.0f);
    EXPECT_EQ(tuner.algorithm->Value(2), 441.0f);
    EXPECT_NE(tuner.text(tags::kDisplay).find("441"), std::string::npos) << tuner.text(tags::kDisplay);
}

// The speaker menu hands the effect a normalised value and follows the
// parameter's units back.
TEST(StompBoxPanels, SpeakerTypeMenu)
{
    Store store;
    Pedal bass(160, store.shared);
    auto& menu = dynamic_cast<CORVOptionMenu&>(*bass.panel->control(3));
    EXPECT_EQ(menu.getNbEntries(), 6);
    menu.setValue(3.0f);
    bass.panel->controlChanged(&menu);
    EXPECT_FLOAT_EQ(menu.getValue(), 3.0f / 5.0f);
    bass.setPlain(3, 4.0f);
    bass.panel->parameterText(3, 4.0f);
    EXPECT_EQ(menu.getCurrentIndex(), 4);
    const std::string shown = bass.text(tags::kDisplay);
    EXPECT_EQ(shown.rfind("Type: ", 0), 0u);
    EXPECT_EQ(shown.substr(6), bass.algorithm->GetParameter(3)->valueTexts[4]);
}

TEST(StompBoxPanels, ParametricWidthTextFollowsTheFilterType)
{
    Store store;
    Pedal eq(130, store.shared);
    eq.setPlain(4, 1.5f);
    const std::pair<float, const char*> cases[] = {
        {0, " Slope: 1.50"}, {2, " Bandwidth: 3.00 octaves"}, {3, " Q: 1.50"}, {5, " Bandwidth: 3.00 octaves"}};
    for (auto [type, text] : cases) {
        eq.setPlain(5, type);
        eq.panel->parameterText(4, 0.0f);
        EXPECT_EQ(eq.text(tags::kDisplay), text) << type;
    }
    eq.setPlain(3, 1000.0f);
    eq.panel->parameterText(3, 0.0f);
    EXPECT_EQ(eq.text(tags::kDisplay), "Frequency: 1000.00");
}

// The words printed on each pedal, checked against the panel built on the
// real effect.  Every knob, switch and slider of a parameter has exactly
// one legend; each legend lies on the face, touches its own control's
// rectangle (at most two pixels off) on one side, below, above, left or
// right, along that side, and covers no other control and no other legend.
TEST(StompBoxFaces, EveryLegendSitsBesideItsOwnControlAndNoOther)
{
    Store store;
    const auto near = [](CCoord gap) { return gap >= 0 && gap <= 2; };
    for (const CatalogueEntry& entry : kCatalogue) {
        SCOPED_TRACE(entry.effectId);
        Pedal pedal(entry.effectId, store.shared);
        const auto legends = artwork::FaceLegends(entry.effectId);
        const auto& controls = pedal.panel->allControls();
        for (const auto& [tag, c] : controls) {
            const bool named = tag >= tags::kFirstParameter && tag <= tags::kLastParameter &&
                               (dynamic_cast<const CKnob*>(c) || dynamic_cast<const CSwitchBase*>(c) ||
                                dynamic_cast<const CSlider*>(c));
            EXPECT_EQ(std::ranges::count(legends, tag, &artwork::FaceLegend::tag), named ? 1 : 0) << "tag " << tag;
        }
        for (const artwork::FaceLegend& legend : legends) {
            const CRect box(legend.box.left, legend.box.top, legend.box.right, legend.box.bottom);
            EXPECT_TRUE(!box.isEmpty() && box.left >= 0 && box.top >= 0 && box.right <= 185 && box.bottom <= 320);
            const auto own = controls.find(legend.tag);
            ASSERT_NE(own, controls.end()) << legend.text;
            const CRect& r = own->second->getViewSize();
            const bool alongColumn = box.left < r.right && r.left < box.right;
            const bool alongRow = box.top < r.bottom && r.top < box.bottom;
            EXPECT_TRUE((alongColumn && (near(box.top - r.bottom) || near(r.top - box.bottom))) ||
                        (alongRow && (near(box.left - r.right) || near(r.left - box.right))))
                << legend.text;
            for (const auto& [tag, c] : controls) {
                const bool shown = tag != tags::kPresetName && tag != tags::kHiddenButtonA && tag != tags::kHiddenButtonB;
                EXPECT_FALSE(shown && box.rectOverlap(c->getViewSize())) << legend.text << " over tag " << tag;
            }
            for (const artwork::FaceLegend& other : legends)
                EXPECT_TRUE(&other == &legend || !legend.box.Overlaps(other.box)) << legend.text << ", " << other.text;
        }
    }
}
