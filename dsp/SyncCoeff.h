#pragma once
#include <array>
#include <string>
#include <vector>

// The tempo-sync divisions shared by every tempo-synchronised effect: the
// entries of the "Sync coeff" list and the multiplier each applies to the
// host tempo to give the effect's own beat rate.  Entry 0 switches sync off.
struct SyncDivision {
    const char* text;
    double multiplier;
};

inline constexpr std::array<SyncDivision, 9> kSyncDivisions{{
    {"Off", 1.0},
    {"1/1", 0.25},
    {"1/2", 0.5},
    {"1/4", 1.0},
    {"1/4 T", 1.5},
    {"1/8", 2.0},
    {"1/8 T", 3.0},
    {"1/16", 4.0},
    {"1/16 T", 6.0},
}};

// The entry texts of a "Sync coeff" list parameter, in index order.
std::vector<std::string> SyncCoeffEntries();

// The entries of the "Tap" list parameter.
std::vector<std::string> TapEntries();

// The beat rate in BPM an effect runs at: its own tempo with sync off, else
// the host tempo times the division's multiplier.  syncCoeff is the plain
// value of "Sync coeff", truncated to an entry.
double SyncedTempo(float syncCoeff, double ownTempo, double hostTempo);
