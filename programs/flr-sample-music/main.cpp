// flr-sample-music OUT.wav: writes the sample show's music track, synthesised from nothing (no
// recording), as a RIFF WAVE file, PCM 16-bit stereo 44.1 kHz. The same output on every run.
//
// The sample show is cued to this grid; change them together.
//   125 BPM in 4/4: a beat is 480 ms (12 frames at 25 fps), a bar 1.92 s (48 frames);
//   beat b starts at b * 480 ms, bar n at n * 1.92 s. A minor, Am F C G, one chord a bar.
//   bar  0  0:00.00  intro: pad opening up, hi-hat from bar 4
//   bar  8  0:15.36  build: kick and bass, clap from bar 12, riser and snare roll into 16
//   bar 16  0:30.72  first loud passage: full beat, arpeggio
//   bar 32  1:01.44  verse: beat and bass, no clap
//   bar 40  1:16.80  second loud passage: full beat, hook melody
//   bar 56  1:47.52  quiet bridge: pad and bells (F G Em Am), no drums
//   bar 64  2:02.88  build: kick back, snare roll speeding up, riser into 72
//   bar 72  2:18.24  finale: everything, crash every 4 bars, roll in bars 86-87
//   bar 88  2:48.96  ending: one last hit on Am, ringing out
//   bar 94  3:00.48  end of the file
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kBeat = 0.48;
constexpr double kBar = 4 * kBeat;
constexpr int kBars = 94;
constexpr double kTwoPi = 6.283185307179586;

enum class Part { Intro, Build, LoudA, Verse, LoudB, Bridge, Build2, Finale, Ending };
// The whole mix's level runs from `from` to `to` across a section, so the sections differ in
// the waveform and not only in the ear.
struct Section {
    int firstBar;
    Part part;
    double from, to;
};
constexpr Section kSections[] = {
    {0, Part::Intro, 0.55, 0.7},    {8, Part::Build, 0.4, 0.65},  {16, Part::LoudA, 0.85, 0.85},
    {32, Part::Verse, 0.55, 0.6},   {40, Part::LoudB, 0.9, 0.9},  {56, Part::Bridge, 0.7, 0.7},
    {64, Part::Build2, 0.45, 0.75}, {72, Part::Finale, 1.0, 1.0}, {88, Part::Ending, 1.0, 1.0}};

double Level(double bars)
{
    for (size_t i = std::size(kSections); i-- > 0;) {
        const Section& s = kSections[i];
        if (bars < s.firstBar) continue;
        const int next = i + 1 < std::size(kSections) ? kSections[i + 1].firstBar : kBars;
        return s.from + (s.to - s.from) * (bars - s.firstBar) / (next - s.firstBar);
    }
    return 0;
}

const Section& SectionOf(int bar)
{
    const Section* found = &kSections[0];
    for (const Section& s : kSections) {
        if (bar >= s.firstBar) found = &s;
    }
    return *found;
}

struct Chord {
    int bassRoot;  // MIDI note
    int notes[4];
};
constexpr Chord kAm{45, {57, 60, 64, 69}}, kF{41, {53, 57, 60, 65}}, kC{48, {55, 60, 64, 67}},
    kG{43, {55, 59, 62, 67}}, kEm{40, {52, 55, 59, 64}};
constexpr const Chord* kVerse[] = {&kAm, &kF, &kC, &kG};
constexpr const Chord* kBridge[] = {&kF, &kG, &kEm, &kAm};

const Chord& ChordOf(int bar)
{
    return SectionOf(bar).part == Part::Bridge ? *kBridge[(bar - 56) % 4] : *kVerse[bar % 4];
}

// The hook of the second loud passage and the finale: eighths over four bars, -1 a rest.
constexpr int kHook[32] = {76, -1, 81, -1, 79, 76, 74, 76, 77, -1, 81, -1, 84, 81, 79, 77,
                           76, -1, 79, -1, 84, 83, 79, 76, 74, -1, 79, -1, 83, -1, 79, 74};

double Hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A one-pole low-pass; two in a row where a softer slope would sound thin.
struct LowPass {
    double y = 0;
    double Run(double x, double cutoff)
    {
        y += (1.0 - std::exp(-kTwoPi * cutoff / kRate)) * (x - y);
        return y;
    }
};

class Track {
public:
    Track() : m_left(size_t(kBars * kBar * kRate)), m_right(m_left.size()) {}

    size_t Samples() const { return m_left.size(); }
    float& Left(size_t i) { return m_left[i]; }
    float& Right(size_t i) { return m_right[i]; }

    // Adds `seconds` of sound from `at`, the voice called with the time since `at`.
    template <typename Voice>
    void Add(double at, double seconds, Voice voice)
    {
        // Rounded, not cut: a beat's sample must not fall one early through 30.72 * 44100.
        const size_t first = size_t(std::lround(at * kRate));
        const size_t end = std::min(Samples(), first + size_t(std::lround(seconds * kRate)));
        for (size_t i = first; i < end; ++i) {
            const auto [l, r] = voice(double(i - first) / kRate);
            m_left[i] += float(l);
            m_right[i] += float(r);
        }
    }

    double Noise()
    {
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 17;
        m_seed ^= m_seed << 5;
        return m_seed / 2147483648.0 - 1.0;
    }

    void Kick(double at, double gain)
    {
        double phase = 0;
        Add(at, 0.45, [&, gain](double t) {
            phase += kTwoPi * (48 + 110 * std::exp(-t * 32)) / kRate;
            const double v =
                gain * (std::sin(phase) * std::exp(-t * 7) + 0.3 * Noise() * std::exp(-t * 400));
            return std::pair{v, v};
        });
    }
    void Clap(double at, double gain, double decay = 16)
    {
        double last = 0;
        LowPass lp;
        Add(at, 0.35, [&, gain, decay](double t) {
            const double n = Noise(), hp = n - last;
            last = n;
            const double env =
                t < 0.03 ? std::exp(-std::fmod(t, 0.01) * 250) : std::exp(-(t - 0.03) * decay);
            const double v = gain * (lp.Run(hp, 5000) * env * 1.6 +
                                     0.4 * std::sin(kTwoPi * 185 * t) * std::exp(-t * 30));
            return std::pair{v * 0.9, v};
        });
    }
    void Hat(double at, double gain, bool open)
    {
        double last = 0;
        Add(at, open ? 0.35 : 0.08, [&, gain, open](double t) {
            const double n = Noise(), v = gain * (n - last) * std::exp(-t * (open ? 12 : 60));
            last = n;
            return std::pair{v * 0.75, v};
        });
    }
    void Crash(double at, double gain)
    {
        double lastL = 0, lastR = 0;
        Add(at, 3.5, [&, gain](double t) {
            const double l = Noise(), r = Noise(), env = gain * std::exp(-t * 1.3);
            const std::pair v{(l - lastL) * env, (r - lastR) * env};
            lastL = l;
            lastR = r;
            return v;
        });
    }
    // Noise opening up from a low rumble to a hiss, louder toward the drop.
    void Riser(double at, double seconds, double gain)
    {
        LowPass lp;
        Add(at, seconds, [&, gain, seconds](double t) {
            const double x = t / seconds, v = gain * x * x * lp.Run(Noise(), 200 * std::pow(40, x));
            return std::pair{v, v};
        });
    }
    void Bass(double at, double seconds, int midi, double gain)
    {
        double phase = 0;
        LowPass a, b;
        const double f = Hz(midi);
        Add(at, seconds, [&, gain, seconds, f](double t) {
            phase = std::fmod(phase + f / kRate, 1.0);
            const double env = std::min(1.0, t / 0.004) * std::min(1.0, (seconds - t) / 0.02) *
                               (0.7 + 0.3 * std::exp(-t * 10));
            const double saw = b.Run(a.Run(2 * phase - 1, 300 + 900 * std::exp(-t * 12)), 900);
            const double v = gain * env * (saw + 0.8 * std::sin(kTwoPi * phase));
            return std::pair{v, v};
        });
    }
    // Two slightly detuned saws a note, one per side, through a low-pass.
    void Pad(double at, double seconds, const Chord& chord, double gain, double cutoff)
    {
        for (int note : chord.notes) {
            double pl = 0, pr = 0.5;
            LowPass l1, l2, r1, r2;
            const double f = Hz(note);
            Add(at, seconds + 0.4, [&, gain, seconds, f, cutoff](double t) {
                pl = std::fmod(pl + f * 0.996 / kRate, 1.0);
                pr = std::fmod(pr + f * 1.004 / kRate, 1.0);
                const double env =
                    std::min(1.0, t / 0.12) * (t < seconds ? 1.0 : std::exp(-(t - seconds) * 12));
                return std::pair{gain * env * l2.Run(l1.Run(2 * pl - 1, cutoff), cutoff),
                                 gain * env * r2.Run(r1.Run(2 * pr - 1, cutoff), cutoff)};
            });
        }
    }
    // A plucked saw-and-square note with two echoes, a dotted eighth apart, left then right.
    void Pluck(double at, int midi, double gain, double pan = 0)
    {
        const double echo[3][3] = {{0, 1, 0}, {0.36, 0.35, -0.8}, {0.72, 0.2, 0.8}};
        for (const auto& [delay, level, side] : echo) {
            double phase = 0;
            LowPass lp;
            const double f = Hz(midi), p = std::clamp(pan + side, -1.0, 1.0);
            const double g = gain * level;
            Add(at + delay, 0.5, [&, f, p, g](double t) {
                phase = std::fmod(phase + f / kRate, 1.0);
                const double raw = (2 * phase - 1) * 0.5 + (phase < 0.5 ? 0.5 : -0.5);
                const double v = g * std::min(1.0, t / 0.003) * std::exp(-t * 7) *
                                 lp.Run(raw, 800 + 4000 * std::exp(-t * 14));
                return std::pair{v * (1 - p) / 2 * 1.4, v * (1 + p) / 2 * 1.4};
            });
        }
    }
    void Bell(double at, int midi, double gain, double pan)
    {
        const double f = Hz(midi);
        Add(at, 2.5, [=](double t) {
            const double v =
                gain * std::exp(-t * 2.2) *
                std::sin(kTwoPi * f * t + 1.6 * std::exp(-t * 3) * std::sin(kTwoPi * 3.5 * f * t));
            return std::pair{v * (1 - pan), v * (1 + pan)};
        });
    }

private:
    std::vector<float> m_left, m_right;
    uint32_t m_seed = 0x2545F491u;  // fixed: the same noise on every run
};

bool Loud(Part p) { return p == Part::LoudA || p == Part::LoudB || p == Part::Finale; }
bool HasKick(int bar)
{
    const Part p = SectionOf(bar).part;
    return p != Part::Intro && p != Part::Bridge && p != Part::Ending;
}

// Pad, bass and melody first, ducked under each kick, then the drums on top.
void Compose(Track& track)
{
    for (int bar = 0; bar < 88; ++bar) {
        const Section& s = SectionOf(bar);
        const int rel = bar - s.firstBar;
        const double t0 = bar * kBar;
        const Chord& chord = ChordOf(bar);
        const double cutoff = s.part == Part::Intro    ? 350 + rel * 220
                              : s.part == Part::Bridge ? 900
                              : Loud(s.part)           ? 2600
                                                       : 1500 + rel * 120;
        track.Pad(t0, kBar, chord, s.part == Part::Bridge ? 0.07 : 0.06, cutoff);
        if (HasKick(bar)) {
            for (int e = 0; e < 8; ++e) {
                const int note = chord.bassRoot + (e == 7 && Loud(s.part) ? 12 : 0);
                track.Bass(t0 + e * kBeat / 2, kBeat / 2 - 0.01, note, e % 2 ? 0.22 : 0.15);
            }
        }
        for (int i = 0; i < 16 && (s.part == Part::LoudA || s.part == Part::Finale); ++i) {
            const int pattern[] = {0, 1, 2, 3, 2, 1, 2, 3};
            const int note = chord.notes[pattern[i % 8]] + 12 * (i >= 8);
            track.Pluck(t0 + i * kBeat / 4, note, 0.09, i % 2 ? 0.3 : -0.3);
        }
        for (int e = 0; e < 8 && (s.part == Part::LoudB || s.part == Part::Finale); ++e) {
            const int note = kHook[(bar % 4) * 8 + e];
            if (note >= 0) track.Pluck(t0 + e * kBeat / 2, note - 12, 0.2);
        }
        for (int b = 0; b < 4 && s.part == Part::Bridge; ++b) {
            track.Bell(t0 + b * kBeat, chord.notes[(b + rel) % 4] + 12, 0.08, b % 2 ? 0.4 : -0.4);
        }
    }
    // The last hit: the whole chord, opened up, ringing for bars.
    const double end = 88 * kBar;
    track.Pad(end, 0.05, kAm, 0.09, 3000);
    track.Add(end, 6 * kBar, [](double t) {
        double v = 0;
        for (int note : {33, 45, 57, 64, 69, 72, 76}) v += std::sin(kTwoPi * Hz(note) * t);
        v *= 0.09 * std::exp(-t * 0.55) * std::min(1.0, t / 0.01);
        return std::pair{v, v};
    });
    track.Pluck(end, 81, 0.3);

    for (size_t i = 0; i < track.Samples(); ++i) {
        const double t = double(i) / kRate, sinceBeat = std::fmod(t, kBeat);
        if (!HasKick(int(t / kBar))) continue;
        const double duck = 1 - 0.5 * std::exp(-sinceBeat * 9);
        track.Left(i) *= float(duck);
        track.Right(i) *= float(duck);
    }

    for (int bar = 0; bar < 88; ++bar) {
        const Section& s = SectionOf(bar);
        const int rel = bar - s.firstBar;
        const double t0 = bar * kBar;
        const bool loud = Loud(s.part);
        if (rel == 0 && (loud || s.part == Part::Verse)) track.Crash(t0, loud ? 0.3 : 0.15);
        if (s.part == Part::Finale && rel % 4 == 0 && rel > 0) track.Crash(t0, 0.25);
        for (int b = 0; b < 4; ++b) {
            const double at = t0 + b * kBeat;
            if (HasKick(bar)) track.Kick(at, loud ? 0.95 : 0.8);
            const bool clap = loud || (s.part == Part::Build && rel >= 4 && rel < 6);
            if (clap && b % 2) track.Clap(at, 0.45);
        }
        const int hats = s.part == Part::Intro    ? (rel >= 4 ? 2 : 0)
                         : s.part == Part::Bridge ? 0
                         : loud                   ? 4
                                                  : 2;
        for (int h = 0; h < hats * 4; ++h) {
            const bool offbeat = hats == 4 ? h % 4 == 2 : h % 2 == 1;
            const double gain = s.part == Part::Intro ? 0.05 : 0.11;
            if (hats == 4 || offbeat || s.part != Part::Intro) {
                track.Hat(t0 + h * kBar / (hats * 4), gain * (offbeat ? 1.0 : 0.6),
                          loud && offbeat);
            }
        }
    }
    // Rolls into the drops: quarters, then eighths, sixteenths, thirty-seconds, louder.
    const struct {
        int bar, perBeat;
    } roll[] = {{14, 2}, {15, 4}, {64, 1}, {65, 1}, {66, 1}, {67, 1},
                {68, 2}, {69, 2}, {70, 4}, {71, 8}, {86, 4}, {87, 8}};
    for (const auto& [bar, perBeat] : roll) {
        for (int i = 0; i < 4 * perBeat; ++i) {
            const double x = double(i) / (4 * perBeat);
            track.Clap(bar * kBar + i * kBeat / perBeat, 0.12 + 0.1 * perBeat / 8 + 0.1 * x, 30);
        }
    }
    track.Riser(12 * kBar, 4 * kBar, 0.25);
    track.Riser(66 * kBar, 6 * kBar, 0.3);
    track.Riser(84 * kBar, 4 * kBar, 0.25);
    track.Kick(end, 1.1);
    track.Crash(end, 0.4);

    for (size_t i = 0; i < track.Samples(); ++i) {
        const float level = float(Level(double(i) / kRate / kBar));
        track.Left(i) *= level;
        track.Right(i) *= level;
    }
}

// Holds every peak under half the loudest one with a fast limiter (instant attack, 120 ms
// release), then scales the loudest sample to -1 dBFS: the track cannot clip.
std::vector<int16_t> Master(Track& track)
{
    double peak = 1e-9;
    for (size_t i = 0; i < track.Samples(); ++i) {
        peak =
            std::max({peak, double(std::fabs(track.Left(i))), double(std::fabs(track.Right(i)))});
    }
    const double threshold = peak / 2, release = std::exp(-1.0 / (0.12 * kRate));
    double envelope = 0, limited = 1e-9;
    for (size_t i = 0; i < track.Samples(); ++i) {
        const double level = std::max(std::fabs(track.Left(i)), std::fabs(track.Right(i)));
        envelope = std::max(level, envelope * release);
        const double gain = envelope > threshold ? threshold / envelope : 1.0;
        track.Left(i) = float(track.Left(i) * gain);
        track.Right(i) = float(track.Right(i) * gain);
        limited = std::max(
            {limited, double(std::fabs(track.Left(i))), double(std::fabs(track.Right(i)))});
    }
    const double scale = 0.89 * 32767 / limited;
    std::vector<int16_t> pcm(2 * track.Samples());
    for (size_t i = 0; i < track.Samples(); ++i) {
        pcm[2 * i] = int16_t(std::clamp(std::lrint(track.Left(i) * scale), -32767L, 32767L));
        pcm[2 * i + 1] = int16_t(std::clamp(std::lrint(track.Right(i) * scale), -32767L, 32767L));
    }
    return pcm;
}

void Put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(char(value >> (8 * i)));
}

std::string Header(size_t dataBytes)
{
    std::string h = "RIFF";
    Put(h, uint32_t(36 + dataBytes), 4);
    h += "WAVEfmt ";
    Put(h, 16, 4);
    Put(h, 1, 2);  // PCM
    Put(h, 2, 2);
    Put(h, kRate, 4);
    Put(h, kRate * 4, 4);
    Put(h, 4, 2);
    Put(h, 16, 2);
    h += "data";
    Put(h, uint32_t(dataBytes), 4);
    return h;
}

// Written beside the target and renamed over it, so a failed run leaves no half file that
// looks newer than the generator.
bool WriteWave(const std::string& path, const std::vector<int16_t>& pcm)
{
    const std::string part = path + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) return false;
    std::string bytes = Header(pcm.size() * 2);
    for (int16_t s : pcm) Put(bytes, uint16_t(s), 2);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok || std::rename(part.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(part.c_str());
        errno = error;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fputs("Usage: flr-sample-music OUT.wav\n", stderr);
        return 2;
    }
    Track track;
    Compose(track);
    if (!WriteWave(argv[1], Master(track))) {
        std::fprintf(stderr, "flr-sample-music: cannot write %s: %s\n", argv[1],
                     std::strerror(errno));
        return 1;
    }
    return 0;
}
