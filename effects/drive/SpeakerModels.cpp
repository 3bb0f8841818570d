#include "effects/drive/SpeakerModels.h"

#include <algorithm>

// Each table is one loudspeaker in its box as one microphone hears it, fitted
// section by section: filters for the ends of the band, then peaks and dips
// from the low end up, with a few late corrections after them.
//
// What moves between the microphone positions of a cabinet:
// - Near / On Axis: the cone's full presence region, 2-5 kHz, with its sharp
//   break-up dips, and the proximity lift in the bass.
// - Off Axis: the cone beams, so the top turns over an octave earlier and
//   the presence peaks lose half their height.
// - Far: no proximity lift (a higher low cut), a comb of floor and wall
//   reflections through the low mids, and little left above 4 kHz.
// Open-backed combos lose their deep bass to the back wave; closed cabinets
// keep a box resonance around 100 Hz and fall steeply below it.

namespace {

// --- Guitar: 8-inch combo, open back, little below 200 Hz -------------------

constexpr SpeakerSection kCombo8Near[] = {
    HighPass(300),
    Peak(+10, 160, 8),
    Peak(-4.1, 405, 4),
    Peak(-4, 1000, 2),
    Peak(-20, 1650, 50),
    Peak(-6, 2400, 8),
    Peak(-20, 3400, 17),
    Peak(+5, 5000, 10),
    Peak(-7, 8400, 9),
    LowPass(5000),
    Peak(-2.5, 1900, 5),
    Peak(-13, 14000, 6),
    Peak(-6, 8400, 16),
};

constexpr SpeakerSection kCombo8Far[] = {
    ResonantHighPass(270, 0.26),
    Peak(+5, 170, 6),
    Peak(-5, 420, 3),
    Peak(+3, 650, 4),
    Peak(-3.5, 1000, 2),
    Peak(-12, 1650, 20),
    Peak(-2, 1900, 5),
    Peak(-7, 2400, 6),
    Peak(-14, 3400, 10),
    Peak(+2, 4800, 8),
    LowPass(5000),
    Peak(-8, 6500, 3),
    Peak(-10, 8400, 6),
    Peak(-15, 12000, 2),
};

// --- Guitar: 10-inch combo, open back --------------------------------------

constexpr SpeakerSection kCombo10Near[] = {
    ResonantHighPass(60, 0.36),
    Peak(-6, 40, 2),
    Peak(+4, 120, 3),
    Peak(-3, 250, 3),
    Peak(-4, 500, 3),
    Peak(+2, 850, 4),
    Peak(-3, 1200, 5),
    Peak(+4, 2200, 4),
    Peak(-9, 2900, 14),
    Peak(+5, 3800, 6),
    Peak(-12, 4600, 18),
    LowPass(5200),
    Peak(-8, 6800, 8),
    Peak(-6, 9000, 4),
    Peak(-12, 13000, 3),
};

constexpr SpeakerSection kCombo10Far[] = {
    ResonantHighPass(65, 0.36),
    Peak(-6, 42, 2),
    Peak(+2.5, 110, 3),
    Peak(-5, 180, 10),
    Peak(+3, 320, 4),
    Peak(-4, 540, 8),
    Peak(+1.5, 800, 4),
    Peak(-4, 1100, 8),
    Peak(+2, 2000, 3),
    Peak(-10, 2900, 10),
    Peak(-3, 3800, 4),
    LowPass(5200),
    Peak(-10, 4600, 6),
    Peak(-10, 7000, 3),
    Peak(-14, 11000, 2),
};

// --- Guitar: vintage 12-inch combo, open back, forward mids ---------------

constexpr SpeakerSection kCombo12VNear[] = {
    ThirdOrderLowPass(5100, 125),
    Peak(-12, 25, 0.8),
    Peak(+5, 110, 3),
    Peak(-3, 230, 4),
    Peak(-4.5, 420, 3),
    Peak(+2, 700, 4),
    Peak(+3, 1300, 3),
    Peak(-5, 1800, 10),
    Peak(+5, 2600, 4),
    Peak(-8, 3200, 16),
    Peak(+4, 3900, 8),
    Peak(-10, 4700, 20),
    Peak(-6, 6500, 6),
    Peak(-10, 9000, 4),
};

constexpr SpeakerSection kCombo12VFar[] = {
    ThirdOrderLowPass(3900, 180),
    Peak(-12, 25, 0.8),
    Peak(+3, 105, 3),
    Peak(-6, 200, 9),
    Peak(+2.5, 330, 5),
    Peak(-4, 480, 4),
    Peak(+2, 750, 5),
    Peak(-4, 980, 9),
    Peak(+2.5, 1300, 3),
    Peak(-6, 1800, 8),
    Peak(+2, 2500, 4),
    Peak(-8, 3200, 10),
    Peak(-8, 4500, 4),
    Peak(-10, 7000, 3),
    Peak(-12, 11000, 2),
};

// --- Guitar: vintage 1x12 cabinet, closed back -----------------------------

constexpr SpeakerSection kCabinet112VOnAxis[] = {
    ThirdOrderLowPass(5800, 105),
    Peak(-14, 22, 0.8),
    Peak(+6, 100, 3),
    Peak(-2, 200, 3),
    Peak(-4, 380, 3),
    Peak(+1.5, 650, 3),
    Peak(-2, 1000, 3),
    Peak(+3, 1500, 4),
    Peak(-4, 2000, 12),
    Peak(+6, 2700, 5),
    Peak(-7, 3400, 14),
    Peak(+5, 4400, 7),
    Peak(-12, 5300, 18),
    Peak(-6, 7200, 6),
    Peak(-12, 10000, 3),
    Peak(-10, 14000, 3),
};

constexpr SpeakerSection kCabinet112VOffAxis[] = {
    ThirdOrderLowPass(4700, 110),
    Peak(-14, 22, 0.8),
    Peak(+5, 100, 3),
    Peak(-2, 210, 3),
    Peak(-3.5, 390, 3),
    Peak(+2, 650, 3),
    Peak(-1.5, 1000, 3),
    Peak(+2.5, 1500, 4),
    Peak(-5, 2100, 10),
    Peak(+3, 2700, 5),
    Peak(-9, 3400, 10),
    Peak(+1.5, 4100, 7),
    Peak(-12, 5000, 8),
    Peak(-9, 7000, 4),
    Peak(-12, 10000, 3),
    Peak(-10, 14000, 3),
};

constexpr SpeakerSection kCabinet112VFar[] = {
    ThirdOrderLowPass(3700, 150),
    Peak(-14, 22, 0.8),
    Peak(+3, 95, 3),
    Peak(-5, 170, 8),
    Peak(+2.5, 280, 5),
    Peak(-4, 420, 7),
    Peak(+2, 640, 4),
    Peak(-4, 870, 8),
    Peak(+1.5, 1300, 4),
    Peak(-5, 1700, 6),
    Peak(+2, 2400, 4),
    Peak(-9, 3300, 8),
    Peak(-9, 4800, 4),
    Peak(-10, 7000, 3),
    Peak(-12, 11000, 2),
};

// --- Guitar: 4x12 cabinet, closed back, modern voicing: scooped mids -------

constexpr SpeakerSection kCabinet412OnAxis[] = {
    ThirdOrderLowPass(6000, 100),
    Peak(-15, 20, 0.7),
    Peak(+7, 95, 2.5),
    Peak(+2, 160, 3),
    Peak(-3, 300, 3),
    Peak(-5, 550, 2.5),
    Peak(-3, 900, 3),
    Peak(+2, 1400, 4),
    Peak(+4, 2300, 4),
    Peak(-6, 3000, 12),
    Peak(+5, 3700, 6),
    Peak(-5, 4300, 18),
    Peak(+5, 5200, 8),
    Peak(-14, 6300, 14),
    Peak(-8, 8000, 5),
    Peak(-12, 11000, 3),
    Peak(-10, 15000, 3),
};

constexpr SpeakerSection kCabinet412OffAxis[] = {
    ThirdOrderLowPass(5000, 100),
    Peak(-15, 20, 0.7),
    Peak(+6, 95, 2.5),
    Peak(+1.5, 160, 3),
    Peak(-3, 310, 3),
    Peak(-4, 560, 2.5),
    Peak(-2, 900, 3),
    Peak(+2, 1400, 4),
    Peak(+2, 2300, 4),
    Peak(-7, 3000, 10),
    Peak(+2, 3700, 6),
    Peak(-8, 4400, 10),
    Peak(-4, 5200, 6),
    Peak(-12, 6500, 6),
    Peak(-10, 9000, 4),
    Peak(-12, 13000, 3),
};

constexpr SpeakerSection kCabinet412Far[] = {
    ThirdOrderLowPass(3800, 140),
    Peak(-15, 20, 0.7),
    Peak(+4, 90, 2.5),
    Peak(-5, 150, 8),
    Peak(+3, 240, 5),
    Peak(-5, 380, 7),
    Peak(-2, 600, 3),
    Peak(-3, 800, 8),
    Peak(+2, 1300, 4),
    Peak(-5, 1750, 7),
    Peak(+1.5, 2300, 4),
    Peak(-8, 3000, 8),
    Peak(-9, 4500, 4),
    Peak(-10, 6500, 3),
    Peak(-12, 10000, 2),
};

// --- Guitar: vintage 4x12 cabinet, closed back: biting upper mids ----------

constexpr SpeakerSection kCabinet412VOnAxis[] = {
    ThirdOrderLowPass(5300, 110),
    Peak(-15, 20, 0.7),
    Peak(+6, 105, 2.5),
    Peak(-2, 220, 3),
    Peak(-3.5, 420, 3),
    Peak(+1, 700, 3),
    Peak(+3, 1100, 3),
    Peak(+4, 1700, 4),
    Peak(-4, 2200, 12),
    Peak(+6, 2800, 4),
    Peak(-8, 3500, 14),
    Peak(+4, 4200, 8),
    Peak(-12, 5000, 16),
    Peak(-8, 6800, 5),
    Peak(-12, 9500, 3),
    Peak(-10, 14000, 3),
};

constexpr SpeakerSection kCabinet412VOffAxis[] = {
    ThirdOrderLowPass(4400, 110),
    Peak(-15, 20, 0.7),
    Peak(+5, 105, 2.5),
    Peak(-2, 220, 3),
    Peak(-3, 420, 3),
    Peak(+1.5, 700, 3),
    Peak(+3, 1100, 3),
    Peak(+3, 1700, 4),
    Peak(-5, 2200, 10),
    Peak(+3, 2800, 4),
    Peak(-9, 3500, 10),
    Peak(-10, 4700, 8),
    Peak(-9, 6500, 4),
    Peak(-12, 9500, 3),
    Peak(-10, 14000, 3),
};

constexpr SpeakerSection kCabinet412VFar[] = {
    ThirdOrderLowPass(3400, 160),
    Peak(-15, 20, 0.7),
    Peak(+3, 95, 2.5),
    Peak(-5, 160, 8),
    Peak(+3, 260, 5),
    Peak(-4, 400, 7),
    Peak(+2, 620, 4),
    Peak(-4, 850, 8),
    Peak(+3, 1200, 3),
    Peak(-5, 1650, 7),
    Peak(+2.5, 2200, 4),
    Peak(-8, 3000, 8),
    Peak(-9, 4300, 4),
    Peak(-10, 6500, 3),
    Peak(-12, 10000, 2),
};

constexpr SpeakerModel kGuitarModels[] = {
    {"Combo 8 Near", kCombo8Near},
    {"Combo 8 Far", kCombo8Far},
    {"Combo 10 Near", kCombo10Near},
    {"Combo 10 Far", kCombo10Far},
    {"Combo 12V Near", kCombo12VNear},
    {"Combo 12V Far", kCombo12VFar},
    {"Cabinet 112V On Axis", kCabinet112VOnAxis},
    {"Cabinet 112V Off Axis", kCabinet112VOffAxis},
    {"Cabinet 112V Far", kCabinet112VFar},
    {"Cabinet 412 On Axis", kCabinet412OnAxis},
    {"Cabinet 412 Off Axis", kCabinet412OffAxis},
    {"Cabinet 412 Far", kCabinet412Far},
    {"Cabinet 412V On Axis", kCabinet412VOnAxis},
    {"Cabinet 412V Off Axis", kCabinet412VOffAxis},
    {"Cabinet 412V Far", kCabinet412VFar},
};

// --- Bass: 2x10 cabinet; the woofers are the same with the horn switched in

constexpr SpeakerSection k210OnAxisWoofer[] = {
    HighPass(55),
    LowPass(5500),
    HighPass(48),
    LowPass(5800),
    Peak(+3, 90, 2),
    Peak(-3, 250, 2),
    Peak(-5, 450, 8),
    Peak(-4, 650, 3),
    Peak(-3, 1000, 8),
    Peak(+3, 1400, 4),
    Peak(-5, 1900, 14),
    Peak(+4, 2300, 8),
    Peak(-8, 3000, 20),
    Peak(-4, 3600, 10),
    Peak(-12, 4400, 30),
    Peak(-10, 4900, 50),
    Peak(-14, 6000, 12),
    Peak(-10, 7500, 10),
    Peak(-14, 9000, 20),
    Peak(-8, 12000, 10),
};

constexpr SpeakerSection k210OffAxisWoofer[] = {
    HighPass(60),
    LowPass(4500),
    HighPass(50),
    LowPass(4600),
    Peak(-2.5, 240, 2),
    Peak(-7.5, 460, 12),
    Peak(-7, 630, 3),
    Peak(-5, 1000, 12),
    Peak(-8, 1550, 6),
    Peak(-8, 1900, 18),
    Peak(+3, 2150, 23),
    Peak(-11, 2400, 25),
    Peak(-23, 3000, 26),
    Peak(-11.5, 3600, 14),
    Peak(-19, 4400, 44),
    Peak(-18, 4800, 82),
    Peak(-27, 5700, 14),
    Peak(-16, 7500, 13),
    Peak(-18, 8500, 55),
    Peak(-10, 11500, 13),
};

constexpr SpeakerSection k210FarWoofer[] = {
    HighPass(70),
    LowPass(3500),
    HighPass(60),
    LowPass(3800),
    Peak(+4, 110, 3),
    Peak(-6, 200, 8),
    Peak(+2, 330, 5),
    Peak(-8, 480, 10),
    Peak(-7, 650, 4),
    Peak(-4, 900, 8),
    Peak(-9, 1500, 5),
    Peak(-8, 1900, 12),
    Peak(-12, 2400, 10),
    Peak(-18, 3000, 12),
    Peak(-12, 3600, 10),
    Peak(-15, 4400, 20),
    Peak(-20, 5500, 8),
    Peak(-16, 7500, 6),
    Peak(-18, 9500, 10),
    Peak(-12, 12000, 6),
};

constexpr SpeakerSection k210OnAxisHorn[] = {
    HighPass(1700),
    LowPass(10000),
    HighPass(1600),
    Peak(+4, 1500, 5),
    Peak(-6.5, 2550, 7),
    Peak(-7, 3150, 18),
    Peak(-9, 7000, 3),
    Peak(-18, 10300, 55),
    Peak(-10, 12100, 15),
    Peak(-15, 15500, 13),
    Peak(-14, 18000, 14),
};

constexpr SpeakerSection k210OffAxisHorn[] = {
    HighPass(1800),
    LowPass(8000),
    HighPass(1700),
    Peak(+3, 1600, 5),
    Peak(-8, 2600, 6),
    Peak(-9, 3300, 12),
    Peak(-12, 6000, 3),
    Peak(-16, 9500, 20),
    Peak(-12, 11500, 10),
    Peak(-15, 14500, 8),
    Peak(-14, 17000, 10),
};

constexpr SpeakerSection k210FarHorn[] = {
    HighPass(1900),
    LowPass(6000),
    HighPass(1800),
    Peak(+2, 1700, 5),
    Peak(-9, 2700, 6),
    Peak(-10, 3400, 10),
    Peak(-14, 5000, 3),
    Peak(-16, 8000, 6),
    Peak(-14, 11000, 6),
    Peak(-15, 14000, 6),
    Peak(-14, 16500, 6),
};

constexpr SpeakerModel kBassModels[] = {
    {"210 On Axis", k210OnAxisWoofer},
    {"210 On Axis + Horn", k210OnAxisWoofer, k210OnAxisHorn},
    {"210 Off Axis", k210OffAxisWoofer},
    {"210 Off Axis + Horn", k210OffAxisWoofer, k210OffAxisHorn},
    {"210 Far", k210FarWoofer},
    {"210 Far + Horn", k210FarWoofer, k210FarHorn},
};

constexpr bool Fits(std::span<const SpeakerModel> models)
{
    return std::all_of(models.begin(), models.end(), [](const SpeakerModel& m) {
        return SlotsOf(m.woofer) <= kWooferSlots && SlotsOf(m.horn) <= kHornSlots;
    });
}
static_assert(Fits(kGuitarModels) && Fits(kBassModels), "a model has more sections than a stage has slots");

} // namespace

std::span<const SpeakerModel> GuitarSpeakerModels() { return kGuitarModels; }
std::span<const SpeakerModel> BassSpeakerModels() { return kBassModels; }

std::vector<std::string> SpeakerTypeEntries(std::span<const SpeakerModel> models)
{
    std::vector<std::string> entries;
    for (const SpeakerModel& model : models)
        entries.emplace_back(model.name);
    return entries;
}
