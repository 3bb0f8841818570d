#pragma once
#include <cstddef>
#include <random>
#include <vector>

namespace bench {

// One guitar string as a plucked-string loop: a delay line one period long
// whose contents are averaged and attenuated on every pass, so the tone
// loses its highs as it rings out.  A new pluck replaces what still rings,
// as it does on a real string.
class PluckedString {
public:
    explicit PluckedString(double sampleRate);

    // Starts a note; velocity 0..1 sets both the level and the brightness.
    void Pluck(int midiNote, float velocity, std::mt19937& random);
    // Damps the string with the fretting hand: the note dies within a tenth
    // of a second.
    void Mute();
    float Tick();

private:
    double sampleRate_;
    std::vector<float> line_;
    size_t length_ = 1;
    size_t position_ = 0;
    double frequency_ = 0.0;
    float feedback_ = 0.0f;
};

} // namespace bench
