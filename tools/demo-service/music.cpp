#include "music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace sorvo::demo {

namespace {

constexpr int sampleRate = 32000;
constexpr int loopBars = 16;
constexpr int introBars = 4;
constexpr double twoPi = 2 * std::numbers::pi;

double frequencyOf(int midi) {
    return 440.0 * std::exp2((midi - 69) / 12.0);
}

// Notes are summed partial by partial; a table keeps that from costing seconds per channel.
double sine(double cycles) {
    constexpr int steps = 4096;
    static const auto table = [] {
        std::array<double, steps + 1> values{};
        for (int i = 0; i <= steps; ++i)
            values[i] = std::sin(twoPi * i / steps);
        return values;
    }();
    const double position = (cycles - std::floor(cycles)) * steps;
    const int index = static_cast<int>(position);
    const double fraction = position - index;
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

// splitmix64, so every channel composes the same melody on every start.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }

  private:
    std::uint64_t state_;
};

enum class Voice { Pad, Bass, Pluck, Piano, ElectricPiano, MusicBox, Flute };

Voice voiceOf(Timbre timbre) {
    switch (timbre) {
    case Timbre::Pluck:
        return Voice::Pluck;
    case Timbre::Piano:
        return Voice::Piano;
    case Timbre::ElectricPiano:
        return Voice::ElectricPiano;
    case Timbre::MusicBox:
        return Voice::MusicBox;
    case Timbre::Flute:
        return Voice::Flute;
    }
    return Voice::Pluck;
}

struct Note {
    double start = 0;  // seconds into the loop
    double length = 0; // seconds held before the release
    int midi = 60;
    double velocity = 0.2;
    double pan = 0; // -1 left .. 1 right
    Voice voice = Voice::Pluck;
    double detune = 0; // semitones
};

struct Envelope {
    double attack;  // seconds of linear rise
    double release; // seconds of linear fall after the note is let go
};

Envelope envelopeOf(Voice voice) {
    switch (voice) {
    case Voice::Pad:
        return {0.7, 1.2};
    case Voice::Bass:
        return {0.008, 0.1};
    case Voice::Piano:
        return {0.003, 0.35};
    case Voice::Flute:
        return {0.06, 0.12};
    case Voice::MusicBox:
        return {0.002, 0.18};
    default:
        return {0.004, 0.18};
    }
}

// Adds a sine at `f` that starts at `level` and falls by 1/e every `decay` seconds (0: never).
// Levels and phases advance by multiplication and addition, so notes cost little to render.
void addPartial(std::vector<double>& out, double f, double level, double decay) {
    const double step = f / sampleRate;
    const double fall = decay > 0 ? std::exp(-1.0 / (decay * sampleRate)) : 1.0;
    double phase = 0;
    for (double& sample : out) {
        sample += level * sine(phase);
        level *= fall;
        phase += step;
        if (phase >= 1) phase -= 1;
    }
}

// The electric piano's bell: a sine whose phase is bent by itself, less so as the note fades.
void addElectricPiano(std::vector<double>& out, double f) {
    const double step = f / sampleRate;
    const double fall = std::exp(-1.0 / (2.0 * sampleRate));
    const double brightnessFall = std::exp(-1.0 / (0.5 * sampleRate));
    double phase = 0;
    double level = 1;
    double brightness = 1.3;
    for (double& sample : out) {
        const double bend = (brightness + 0.2) * sine(phase) / twoPi;
        sample += level * (sine(phase + bend) + 0.15 * sine(2 * phase));
        level *= fall;
        brightness *= brightnessFall;
        phase += step;
        if (phase >= 1) phase -= 1;
    }
}

// A soft sine with a vibrato that sets in after a quarter of a second.
void addFlute(std::vector<double>& out, double f) {
    const double step = f / sampleRate;
    double phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double depth = 0.004 * std::clamp((t - 0.25) / 0.3, 0.0, 1.0);
        const double swell = t < 0.2 ? 1.0 - t : 0.8;
        out[i] += swell * (sine(phase) + 0.25 * sine(2 * phase) + 0.08 * sine(3 * phase));
        phase += step * (1 + depth * sine(5.0 * t));
        if (phase >= 1) phase -= 1;
    }
}

void renderVoice(Voice voice, double f, std::vector<double>& out) {
    switch (voice) {
    case Voice::Pad:
        for (int n = 1; double level : {1.0, 0.4, 0.18, 0.08})
            addPartial(out, f * n++, level, 0);
        break;
    case Voice::Bass:
        // Struck, then held at a third of its strength.
        for (int n = 1; double level : {1.0, 0.3, 0.1}) {
            addPartial(out, f * n, 0.35 * level, 0);
            addPartial(out, f * n++, 0.65 * level, 0.4);
        }
        break;
    case Voice::Pluck:
        for (int n = 1; n <= 6; ++n)
            addPartial(out, f * n, std::pow(n, -1.2), 1.6 / std::pow(n, 0.9));
        break;
    case Voice::Piano: {
        // Stiff strings sound their upper partials slightly sharp; high notes die sooner.
        const double ring = 2.5 * std::pow(261.6 / f, 0.4);
        for (int n = 1; n <= 8; ++n)
            addPartial(out, f * n * std::sqrt(1 + 0.0003 * n * n), std::pow(n, -1.6),
                       ring / std::pow(n, 0.7));
        break;
    }
    case Voice::ElectricPiano:
        addElectricPiano(out, f);
        break;
    case Voice::MusicBox:
        addPartial(out, f, 1.0, 1.4);
        addPartial(out, 2.76 * f, 0.3, 0.4);
        addPartial(out, 5.4 * f, 0.12, 0.15);
        break;
    case Voice::Flute:
        addFlute(out, f);
        break;
    }
}

// Two float channels whose end runs into their beginning, so tails of the last notes fade out
// over the first bars and the loop repeats without a click.
class LoopMix {
  public:
    explicit LoopMix(std::size_t frames) : left_(frames), right_(frames) {}

    std::size_t frames() const { return left_.size(); }
    std::vector<double>& left() { return left_; }
    std::vector<double>& right() { return right_; }

    void add(const Note& note) {
        const Envelope envelope = envelopeOf(note.voice);
        const auto held = static_cast<std::size_t>(note.length * sampleRate);
        const auto attack = static_cast<std::size_t>(envelope.attack * sampleRate);
        const auto release = static_cast<std::size_t>(envelope.release * sampleRate);
        std::vector<double> voice(held + release);
        renderVoice(note.voice, frequencyOf(note.midi) * std::exp2(note.detune / 12), voice);

        const double angle = (note.pan + 1) * std::numbers::pi / 4;
        const double toLeft = note.velocity * std::cos(angle);
        const double toRight = note.velocity * std::sin(angle);
        const auto first = static_cast<std::size_t>(std::lround(note.start * sampleRate));
        for (std::size_t i = 0; i < voice.size(); ++i) {
            double shape = 1;
            if (i < attack) shape = static_cast<double>(i) / static_cast<double>(attack);
            if (i >= held)
                shape *= 1 - static_cast<double>(i - held) / static_cast<double>(release);
            const std::size_t frame = (first + i) % left_.size();
            left_[frame] += shape * voice[i] * toLeft;
            right_[frame] += shape * voice[i] * toRight;
        }
    }

  private:
    std::vector<double> left_;
    std::vector<double> right_;
};

struct Timing {
    double beat;
    bool swing;
    double bar() const { return 4 * beat; }
    // Onset of the eighth `eighth` (0..8) of bar `bar`; swing delays the off-beats.
    double at(int bar, int eighth) const {
        const double offBeat = eighth % 2 == 1 ? (swing ? 2.0 / 3.0 : 0.5) * beat : 0.0;
        return bar * this->bar() + (eighth / 2) * beat + offBeat;
    }
};

void addAccompaniment(LoopMix& mix, const MusicStyle& style, const Timing& timing) {
    const Voice voice = voiceOf(style.accompaniment);
    for (int bar = 0; bar < loopBars; ++bar) {
        const Chord& chord = style.progression[bar % style.progression.size()];
        if (style.pad) {
            for (int tone : chord.tones)
                for (double side : {-1.0, 1.0})
                    mix.add({timing.at(bar, 0), timing.bar(), tone, 0.035, 0.6 * side, Voice::Pad,
                             0.05 * side});
        }
        mix.add({timing.at(bar, 0), 1.9 * timing.beat, chord.bass, 0.3, 0, Voice::Bass});
        mix.add({timing.at(bar, 4), 1.9 * timing.beat, chord.bass + (bar % 2 ? 7 : 0), 0.26, 0,
                 Voice::Bass});

        if (style.arpeggio) {
            std::vector<int> broken = chord.tones;
            broken.push_back(chord.tones.front() + 12);
            constexpr std::array pattern{0, 1, 2, 3, 2, 1, 2, 3};
            for (int eighth = 0; eighth < 8; ++eighth) {
                const int tone = broken[pattern[eighth] % broken.size()];
                mix.add({timing.at(bar, eighth), 1.5 * timing.beat / 2, tone,
                         eighth == 0 ? 0.2 : 0.15, eighth % 2 ? 0.3 : -0.3, voice});
            }
        } else {
            // Comping: on beat 1, and on the off-beat before beat 3 where it swings.
            for (int eighth : {0, style.swing ? 3 : 4})
                for (int tone : chord.tones)
                    mix.add({timing.at(bar, eighth), 1.4 * timing.beat, tone, 0.09, 0.15, voice});
        }
    }
}

// Chord tones fall on beats 1 and 3 and end each phrase; the notes between walk the scale.
class MelodyWriter {
  public:
    MelodyWriter(const MusicStyle& style, const Timing& timing, LoopMix& mix)
        : style_(style), timing_(timing), mix_(mix) {}

    void writePhrase(int firstBar, int phraseId) {
        Random random(style_.seed * 7919 + static_cast<std::uint64_t>(phraseId));
        current_ = style_.melodyScale[style_.melodyScale.size() / 2];
        for (int bar = firstBar; bar < firstBar + 4; ++bar)
            writeBar(bar, bar == firstBar + 3, random);
    }

  private:
    void writeBar(int bar, bool phraseEnd, Random& random) {
        static constexpr std::array<std::array<int, 5>, 8> rhythms{{
            {2, 2, 2, 2, 0},
            {3, 1, 2, 2, 0},
            {2, 2, 4, 0, 0},
            {4, 2, 2, 0, 0},
            {2, 1, 1, 2, 2},
            {3, 3, 2, 0, 0},
            {2, 2, 3, 1, 0},
            {6, 2, 0, 0, 0},
        }};
        static constexpr std::array<int, 5> closing{2, 2, 4, 0, 0};
        const auto& rhythm =
            phraseEnd ? closing : rhythms[random.below(static_cast<int>(rhythms.size()))];
        const Chord& chord = style_.progression[bar % style_.progression.size()];

        int eighth = 0;
        for (std::size_t i = 0; i < rhythm.size() && rhythm[i] > 0; ++i) {
            const bool last = phraseEnd && (i + 1 == rhythm.size() || rhythm[i + 1] == 0);
            const bool strong = eighth % 4 == 0;
            current_ = strong || last ? nearestChordTone(chord, random) : scaleStep(random);
            const bool rest = !strong && !last && random.unit() < 0.12;
            if (!rest) {
                const double start = timing_.at(bar, eighth);
                const double length = timing_.at(bar, eighth + rhythm[i]) - start;
                mix_.add({start, 0.92 * length, current_, 0.24, -0.1, voiceOf(style_.lead)});
            }
            eighth += rhythm[i];
        }
    }

    int nearestChordTone(const Chord& chord, Random& random) const {
        int best = current_;
        int bestDistance = 1000;
        for (int note = style_.melodyScale.front(); note <= style_.melodyScale.back(); ++note) {
            const bool inChord = std::any_of(chord.tones.begin(), chord.tones.end(),
                                             [&](int tone) { return (tone - note) % 12 == 0; });
            // A small random bias lets the line leap now and then instead of always creeping.
            const int distance = std::abs(note - current_) + random.below(4);
            if (inChord && distance < bestDistance) {
                best = note;
                bestDistance = distance;
            }
        }
        return best;
    }

    int scaleStep(Random& random) const {
        const auto& scale = style_.melodyScale;
        const auto nearest = std::lower_bound(scale.begin(), scale.end(), current_);
        const int index = static_cast<int>(
            std::min(nearest - scale.begin(), static_cast<std::ptrdiff_t>(scale.size() - 1)));
        static constexpr std::array steps{-2, -1, -1, 1, 1, 2};
        int step = steps[random.below(static_cast<int>(steps.size()))];
        // At either end of the range the step turns back.
        if (index + step < 0 || index + step >= static_cast<int>(scale.size())) step = -step;
        return scale[static_cast<std::size_t>(index + step)];
    }

    const MusicStyle& style_;
    const Timing& timing_;
    LoopMix& mix_;
    int current_ = 0;
};

// A small Schroeder reverb (four damped combs, two all-passes) that gives the dry voices a
// room. It runs over the loop twice and keeps the second pass, so the tail wraps round too.
void addRoom(LoopMix& mix, double wet) {
    struct Comb {
        std::vector<double> line;
        std::size_t at = 0;
        double filtered = 0;
        double process(double in) {
            const double out = line[at];
            filtered = out * 0.7 + filtered * 0.3;
            line[at] = in + filtered * 0.78;
            at = (at + 1) % line.size();
            return out;
        }
    };
    struct AllPass {
        std::vector<double> line;
        std::size_t at = 0;
        double process(double in) {
            const double delayed = line[at];
            line[at] = in + delayed * 0.5;
            at = (at + 1) % line.size();
            return delayed - in;
        }
    };
    auto makeSide = [](std::size_t spread) {
        std::vector<Comb> combs;
        for (std::size_t length : {810, 862, 927, 984})
            combs.push_back({std::vector<double>(length + spread)});
        std::vector<AllPass> allPasses;
        for (std::size_t length : {403, 320})
            allPasses.push_back({std::vector<double>(length + spread)});
        return std::pair{combs, allPasses};
    };
    auto [leftCombs, leftAllPasses] = makeSide(0);
    auto [rightCombs, rightAllPasses] = makeSide(17);

    const std::size_t frames = mix.frames();
    std::vector<double> roomLeft(frames);
    std::vector<double> roomRight(frames);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < frames; ++i) {
            const double in = 0.5 * (mix.left()[i] + mix.right()[i]);
            auto run = [in](std::vector<Comb>& combs, std::vector<AllPass>& allPasses) {
                double sum = 0;
                for (Comb& comb : combs)
                    sum += comb.process(in);
                for (AllPass& allPass : allPasses)
                    sum = allPass.process(sum);
                return sum;
            };
            roomLeft[i] = run(leftCombs, leftAllPasses);
            roomRight[i] = run(rightCombs, rightAllPasses);
        }
    }
    for (std::size_t i = 0; i < frames; ++i) {
        mix.left()[i] += wet * roomLeft[i];
        mix.right()[i] += wet * roomRight[i];
    }
}

StereoPcm toPcm(LoopMix& mix) {
    double peak = 1e-9;
    for (std::size_t i = 0; i < mix.frames(); ++i)
        peak = std::max({peak, std::abs(mix.left()[i]), std::abs(mix.right()[i])});
    const double gain = 0.8 * 32767 / peak;

    StereoPcm pcm{sampleRate, {}};
    pcm.samples.reserve(2 * mix.frames());
    for (std::size_t i = 0; i < mix.frames(); ++i)
        for (double value : {mix.left()[i], mix.right()[i]})
            pcm.samples.push_back(static_cast<std::int16_t>(std::lround(value * gain)));
    return pcm;
}

} // namespace

int musicSampleRate() {
    return sampleRate;
}

double loopSeconds(const MusicStyle& style) {
    return loopBars * Timing{60.0 / style.beatsPerMinute, style.swing}.bar();
}

StereoPcm renderLoop(const MusicStyle& style) {
    const Timing timing{60.0 / style.beatsPerMinute, style.swing};
    LoopMix mix(static_cast<std::size_t>(std::lround(loopSeconds(style) * sampleRate)));

    addAccompaniment(mix, style, timing);
    MelodyWriter melody(style, timing, mix);
    // Intro, then phrase A, phrase B and A again.
    for (int bar = introBars, phrase = 0; bar < loopBars; bar += 4, ++phrase)
        melody.writePhrase(bar, phrase == 2 ? 0 : phrase);

    addRoom(mix, 0.22);
    return toPcm(mix);
}

} // namespace sorvo::demo
