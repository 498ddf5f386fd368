#pragma once

#include <cstdint>
#include <vector>

namespace sorvo::demo {

enum class Timbre { Pluck, Piano, ElectricPiano, MusicBox, Flute };

// A chord lasts one bar: a bass note and the voicing above it, as MIDI note numbers.
struct Chord {
    int bass = 0;
    std::vector<int> tones;
};

struct MusicStyle {
    double beatsPerMinute = 80;
    bool swing = false;
    bool pad = true;      // sustained strings under everything
    bool arpeggio = true; // broken chords in eighths; otherwise chords on beats 1 and 3
    Timbre accompaniment = Timbre::Pluck;
    Timbre lead = Timbre::MusicBox;
    std::vector<Chord> progression; // repeats through the loop; 16 must be a multiple of its size
    std::vector<int> melodyScale;   // the notes the melody may use, ascending
    std::uint64_t seed = 1;
};

// The rate renderLoop renders at.
int musicSampleRate();

struct StereoPcm {
    int sampleRate = 0;
    std::vector<std::int16_t> samples; // interleaved left, right
};

// How long the loop renderLoop renders for `style` plays.
double loopSeconds(const MusicStyle& style);

// Renders sixteen bars that loop without a seam: an intro bar group, then the melody.
StereoPcm renderLoop(const MusicStyle& style);

} // namespace sorvo::demo
