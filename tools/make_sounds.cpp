// Writes the six effect waves (1000.wav .. 1005.wav) and the game music (bralun.mid).
//
//   g++ -std=c++20 -O2 -o /tmp/make_sounds tools/make_sounds.cpp && /tmp/make_sounds resources
//
// Everything is computed, nothing is random, so a rerun gives the same bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;
constexpr int Rate = 22050;

// ---------------------------------------------------------------------------------------------
// Synthesis

struct Stereo {
    std::vector<double> left, right;
    explicit Stereo(std::size_t frames) : left(frames, 0.0), right(frames, 0.0) {}
    std::size_t frames() const { return left.size(); }
};

struct Partial {
    double ratio;     // frequency relative to the note
    double level;     // relative amplitude
    double decayRate; // per second; larger dies sooner
};

struct Note {
    double start;   // seconds
    double freq;    // Hz
    double level;   // amplitude before the final scaling
    double pan;     // 0 left .. 1 right
    double attack;  // seconds, raised-cosine rise
    double length;  // seconds until the release begins; the partials decay meanwhile
    double release; // seconds of raised-cosine fall after length
    double glide;   // relative pitch change over the note, e.g. -0.03 bends down 3 %
};

double midiFreq(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

void addNote(Stereo& out, const Note& n, const std::vector<Partial>& partials) {
    const double gainL = std::cos(n.pan * Pi / 2);
    const double gainR = std::sin(n.pan * Pi / 2);
    const auto first = static_cast<std::size_t>(n.start * Rate);
    const double total = n.length + n.release;
    std::vector<double> phase(partials.size(), 0.0);
    for (std::size_t i = first; i < out.frames(); ++i) {
        const double t = static_cast<double>(i - first) / Rate;
        if (t >= total) break;
        double env = 1.0;
        if (t < n.attack) env = 0.5 - 0.5 * std::cos(Pi * t / n.attack);
        if (t > n.length) env *= 0.5 + 0.5 * std::cos(Pi * (t - n.length) / n.release);
        const double f = n.freq * (1.0 + n.glide * std::min(1.0, t / total));
        double v = 0.0;
        for (std::size_t k = 0; k < partials.size(); ++k) {
            phase[k] += 2 * Pi * f * partials[k].ratio / Rate;
            v += partials[k].level * std::exp(-partials[k].decayRate * t) * std::sin(phase[k]);
        }
        v *= env * n.level;
        out.left[i] += v * gainL;
        out.right[i] += v * gainR;
    }
}

// Scales to the wanted peak and fades the last moments so both ends sit exactly on silence.
void finish(Stereo& s, double peak, double fadeSeconds) {
    double max = 0.0;
    for (std::size_t i = 0; i < s.frames(); ++i)
        max = std::max({max, std::abs(s.left[i]), std::abs(s.right[i])});
    const double scale = max > 0 ? peak / max : 0.0;
    const auto fade = static_cast<std::size_t>(fadeSeconds * Rate);
    for (std::size_t i = 0; i < s.frames(); ++i) {
        double g = scale;
        const std::size_t fromEnd = s.frames() - 1 - i;
        if (fromEnd < fade)
            g *= 0.5 - 0.5 * std::cos(Pi * static_cast<double>(fromEnd) / static_cast<double>(fade));
        s.left[i] *= g;
        s.right[i] *= g;
    }
}

// Mellow: a round fundamental with a little second harmonic.
const std::vector<Partial> SoftTone = {{1.0, 1.0, 2.0}, {2.0, 0.25, 4.0}, {3.0, 0.06, 6.0}};
// Bell: bright partials that fade faster than the fundamental.
const std::vector<Partial> Bell = {{1.0, 1.0, 3.0}, {2.0, 0.45, 6.0}, {3.0, 0.18, 9.0}, {4.2, 0.10, 16.0}};
// Wooden bar, as a marimba: the fourth partial rings only for a moment.
const std::vector<Partial> Wood = {{1.0, 1.0, 4.5}, {3.93, 0.30, 30.0}, {9.2, 0.05, 60.0}};

// 1000: wrong answer. Two soft falling notes, the second sagging a little: "oh-oh", not a buzzer.
Stereo wrongAnswer(std::size_t frames) {
    Stereo s(frames);
    addNote(s, {0.00, midiFreq(57), 1.0, 0.45, 0.020, 0.20, 0.08, 0.0}, SoftTone);
    addNote(s, {0.24, midiFreq(53), 1.0, 0.55, 0.025, 0.30, 0.18, -0.03}, SoftTone);
    finish(s, 0.38, 0.05);
    return s;
}

// 1001: click. A tiny high tap that dies within a few milliseconds.
Stereo click(std::size_t frames) {
    Stereo s(frames);
    addNote(s, {0.0, 1900.0, 1.0, 0.5, 0.0008, 0.035, 0.012, -0.05},
            {{1.0, 1.0, 140.0}, {2.03, 0.35, 260.0}});
    finish(s, 0.30, 0.005);
    return s;
}

// 1002: new record. A quick rising arpeggio onto a ringing major chord.
Stereo fanfare(std::size_t frames) {
    Stereo s(frames);
    const int arpeggio[] = {72, 76, 79};
    for (int i = 0; i < 3; ++i)
        addNote(s, {0.11 * i, midiFreq(arpeggio[i]), 0.8, 0.3 + 0.2 * i, 0.004, 0.12, 0.05, 0.0}, Bell);
    for (int note : {79, 84, 88})
        addNote(
            s,
            {0.33, midiFreq(note), 0.6, note == 84 ? 0.5 : (note == 79 ? 0.3 : 0.7), 0.006, 0.55, 0.30, 0.0},
            Bell);
    addNote(s, {0.45, midiFreq(96), 0.20, 0.8, 0.003, 0.35, 0.25, 0.0}, Bell); // sparkle on top
    finish(s, 0.50, 0.15);
    return s;
}

// 1003: right answer. Two bright bell strokes, a rising fifth.
Stereo rightAnswer(std::size_t frames) {
    Stereo s(frames);
    addNote(s, {0.00, midiFreq(81), 1.0, 0.4, 0.003, 0.25, 0.15, 0.0}, Bell);
    addNote(s, {0.10, midiFreq(88), 1.0, 0.6, 0.003, 0.55, 0.30, 0.0}, Bell);
    finish(s, 0.50, 0.10);
    return s;
}

// 1004: level chosen. A quick wooden run up the pentatonic scale, mid register.
Stereo levelChoice(std::size_t frames) {
    Stereo s(frames);
    const int run[] = {67, 72, 74, 79};
    for (int i = 0; i < 4; ++i)
        addNote(s,
                {0.055 * i, midiFreq(run[i]), i == 3 ? 1.0 : 0.8, 0.35 + 0.1 * i, 0.003, i == 3 ? 0.6 : 0.15,
                 0.15, 0.0},
                Wood);
    finish(s, 0.45, 0.10);
    return s;
}

// 1005: clock tick. A short, quiet woodblock knock; heard every 450 ms, so kept dry and small.
Stereo tick(std::size_t frames) {
    Stereo s(frames);
    addNote(s, {0.0, 1150.0, 1.0, 0.5, 0.0006, 0.03, 0.02, 0.0}, {{1.0, 1.0, 110.0}, {2.31, 0.4, 200.0}});
    finish(s, 0.20, 0.01);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Wave files

void put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void putTag(std::vector<std::uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(tag[i]));
}

struct WaveSpec {
    int number;
    unsigned fmtSize; // 16, or 18 with an empty extension
    bool fact;
    std::uint32_t dataBytes;
    std::size_t fileSize;
    Stereo (*make)(std::size_t frames);
};

std::vector<std::uint8_t> waveImage(const WaveSpec& w) {
    const std::size_t frames = w.dataBytes / 2;
    const Stereo s = w.make(frames);
    std::vector<std::uint8_t> b;
    putTag(b, "RIFF");
    put32(b, 0); // patched below
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, w.fmtSize);
    put16(b, 1);     // PCM
    put16(b, 2);     // channels
    put32(b, Rate);  // samples per second
    put32(b, 44100); // bytes per second
    put16(b, 2);     // block align
    put16(b, 8);     // bits per sample
    if (w.fmtSize == 18) put16(b, 0);
    if (w.fact) {
        putTag(b, "fact");
        put32(b, 4);
        put32(b, static_cast<std::uint32_t>(frames));
    }
    putTag(b, "data");
    put32(b, w.dataBytes);
    auto toByte = [](double v) {
        return static_cast<std::uint8_t>(std::clamp(128.0 + std::nearbyint(v * 127.0), 1.0, 255.0));
    };
    for (std::size_t i = 0; i < frames; ++i) {
        b.push_back(toByte(s.left[i]));
        b.push_back(toByte(s.right[i]));
    }
    if (w.dataBytes % 2 == 1) b.push_back(128); // RIFF pads odd chunks; never the case here
    const auto riffSize = static_cast<std::uint32_t>(b.size() - 8);
    for (int i = 0; i < 4; ++i)
        b[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(riffSize >> (8 * i));
    return b;
}

// ---------------------------------------------------------------------------------------------
// Music: a standard MIDI file, format 1

class Track {
  public:
    void event(std::uint32_t tick, std::vector<std::uint8_t> bytes, int order = 1) {
        events.push_back({tick, order, std::move(bytes)});
    }
    void meta(std::uint32_t tick, std::uint8_t type, const std::string& text) {
        std::vector<std::uint8_t> b = {0xFF, type};
        appendLength(b, static_cast<std::uint32_t>(text.size()));
        b.insert(b.end(), text.begin(), text.end());
        event(tick, b, 0);
    }
    void control(std::uint32_t tick, int channel, int number, int value) {
        event(tick, {byte(0xB0 + channel), byte(number), byte(value)}, 0);
    }
    void program(std::uint32_t tick, int channel, int number) {
        event(tick, {byte(0xC0 + channel), byte(number)}, 0);
    }
    void note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity) {
        event(tick, {byte(0x90 + channel), byte(key), byte(velocity)}, 2);
        event(tick + length, {byte(0x80 + channel), byte(key), 0}, 1); // offs before ons at one tick
    }

    std::vector<std::uint8_t> chunk(std::uint32_t endTick) {
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<std::uint8_t> body;
        std::uint32_t now = 0;
        for (const Event& e : events) {
            appendLength(body, e.tick - now);
            now = e.tick;
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        }
        appendLength(body, endTick > now ? endTick - now : 0);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});
        std::vector<std::uint8_t> out = {'M', 'T', 'r', 'k'};
        const auto size = static_cast<std::uint32_t>(body.size());
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(size >> shift));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

  private:
    struct Event {
        std::uint32_t tick;
        int order;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Event> events;

    static std::uint8_t byte(int v) { return static_cast<std::uint8_t>(v); }
    static void appendLength(std::vector<std::uint8_t>& b, std::uint32_t v) {
        std::uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
            v >>= 7;
        } while (v != 0);
        while (n-- > 0) b.push_back(static_cast<std::uint8_t>(groups[n] | (n > 0 ? 0x80 : 0)));
    }
};

constexpr std::uint32_t Quarter = 480;
constexpr std::uint32_t Eighth = Quarter / 2;
constexpr std::uint32_t Bar = 4 * Quarter;
constexpr int Bars = 20;

// "E5", "C#4" -> MIDI key number
int key(const std::string& name) {
    static const std::map<char, int> steps = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                              {'G', 7}, {'A', 9}, {'B', 11}};
    int k = steps.at(name[0]);
    std::size_t i = 1;
    if (name[i] == '#') k += 1, ++i;
    return 12 * (std::stoi(name.substr(i)) + 1) + k;
}

struct Chord {
    int bass;                // root for the bass line
    std::vector<int> voices; // held by the pad and broken by the celesta
};

Chord chord(const std::string& name) {
    static const std::map<std::string, Chord> chords = {
        {"C", {key("C2"), {key("E3"), key("G3"), key("C4"), key("E4")}}},
        {"Am", {key("A1"), {key("E3"), key("A3"), key("C4"), key("E4")}}},
        {"Am7", {key("A1"), {key("G3"), key("A3"), key("C4"), key("E4")}}},
        {"F", {key("F2"), {key("F3"), key("A3"), key("C4"), key("F4")}}},
        {"G", {key("G2"), {key("G3"), key("B3"), key("D4"), key("G4")}}},
        {"Gsus", {key("G2"), {key("G3"), key("C4"), key("D4"), key("G4")}}},
        {"Dm7", {key("D2"), {key("F3"), key("A3"), key("C4"), key("D4")}}},
        {"Em", {key("E2"), {key("G3"), key("B3"), key("E4"), key("G4")}}},
    };
    return chords.at(name);
}

// One chord per half bar; a bar of one chord repeats it.
const char* const Harmony[Bars][2] = {
    {"C", "C"},   {"Am7", "Am7"},                             // intro
    {"C", "C"},   {"Am", "Am"},   {"F", "F"},     {"G", "G"}, // A
    {"C", "C"},   {"Am", "Am"},   {"Dm7", "G"},   {"C", "C"},    {"F", "F"}, {"G", "G"},
    {"Em", "Em"}, {"Am", "Am"},                                                          // B
    {"F", "F"},   {"G", "G"},     {"Am7", "Am7"}, {"Gsus", "G"}, {"C", "C"}, {"C", "C"}, // close
};

// The tune, on C major pentatonic; one string per bar, "note:eighths" or "r:eighths".
const char* const Melody[Bars] = {
    "r:8",
    "r:8",
    "E5:2 G5:2 A5:1 G5:1 E5:2",
    "D5:2 E5:1 D5:1 C5:2 A4:2",
    "C5:3 D5:1 E5:2 G5:2",
    "D5:6 r:2",
    "E5:2 G5:2 C6:2 A5:1 G5:1",
    "A5:2 G5:1 E5:1 G5:2 E5:2",
    "D5:2 E5:1 G5:1 A5:2 G5:1 D5:1",
    "C5:6 r:2",
    "A5:3 G5:1 A5:2 C6:2",
    "D6:2 C6:1 A5:1 G5:4",
    "E5:2 G5:2 A5:2 G5:1 E5:1",
    "C6:2 A5:4 r:2",
    "C6:3 A5:1 G5:2 A5:2",
    "D6:2 C6:2 A5:2 G5:2",
    "E5:2 G5:1 A5:1 C6:2 A5:2",
    "G5:4 D5:2 E5:2",
    "E5:2 D5:2 G4:2 D5:2",
    "C5:8",
};

enum Channel { MelodyCh = 0, CelestaCh = 1, BassCh = 2, PadCh = 3, DrumCh = 9 };

std::vector<std::uint8_t> music() {
    Track conductor, melody, celesta, bass, pad, drums;
    const std::uint32_t end = Bars * Bar + Quarter;

    conductor.meta(0, 0x03, "Bralun");
    conductor.event(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}, 0);      // 4/4
    conductor.event(0, {0xFF, 0x59, 0x02, 0, 0}, 0);             // C major
    conductor.event(0, {0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}, 0); // 600000 us a quarter: 100 per minute

    struct Setup {
        Track* track;
        const char* name;
        int channel, program, volume, pan, reverb;
    };
    const Setup setups[] = {
        {&melody, "Flute", MelodyCh, 73, 100, 64, 50}, {&celesta, "Celesta", CelestaCh, 8, 72, 88, 60},
        {&bass, "Bass", BassCh, 32, 92, 60, 20},       {&pad, "Pad", PadCh, 89, 68, 40, 70},
        {&drums, "Drums", DrumCh, 0, 70, 64, 30},
    };
    for (const Setup& s : setups) {
        s.track->meta(0, 0x03, s.name);
        s.track->program(0, s.channel, s.program);
        s.track->control(0, s.channel, 7, s.volume);
        s.track->control(0, s.channel, 10, s.pan);
        s.track->control(0, s.channel, 91, s.reverb);
    }

    for (int bar = 0; bar < Bars; ++bar) {
        const std::uint32_t at = static_cast<std::uint32_t>(bar) * Bar;
        const bool intro = bar < 2, close = bar >= 18, bSection = bar >= 10 && bar < 18;

        // Melody.
        std::istringstream notes(Melody[bar]);
        std::string token;
        std::uint32_t t = at;
        while (notes >> token) {
            const auto colon = token.find(':');
            const auto length = static_cast<std::uint32_t>(std::stoi(token.substr(colon + 1))) * Eighth;
            const std::string name = token.substr(0, colon);
            if (name != "r") {
                const bool onBeat = (t - at) % Quarter == 0;
                melody.note(t, length - 20, MelodyCh, key(name), (onBeat ? 92 : 80) - (close ? 8 : 0));
            }
            t += length;
        }

        for (int half = 0; half < 2; ++half) {
            const Chord c = chord(Harmony[bar][half]);
            const std::uint32_t h = at + static_cast<std::uint32_t>(half) * 2 * Quarter;
            const bool last = bar == Bars - 1;

            // Pad: the chord held; the last one rings out over the final bar.
            if (!last || half == 0)
                for (int v : c.voices) pad.note(h, last ? Bar : 2 * Quarter, PadCh, v, 52);

            // Bass: root on the beat, fifth on the off-beat, octave to lead on.
            if (last) {
                if (half == 0) bass.note(h, Bar - 60, BassCh, c.bass, 80);
            } else {
                bass.note(h, Quarter + Eighth - 30, BassCh, c.bass, 84);
                bass.note(h + Quarter + Eighth, Eighth - 20, BassCh, c.bass + (half ? 12 : 7), 70);
            }

            // Celesta: broken chord in eighths, in the intro and the second section only.
            if (intro || bSection) {
                static const int pattern[4] = {0, 2, 3, 1};
                for (int i = 0; i < 4; ++i)
                    celesta.note(h + static_cast<std::uint32_t>(i) * Eighth, Eighth, CelestaCh,
                                 c.voices[static_cast<std::size_t>(pattern[i])] + 24, i == 0 ? 58 : 46);
            }
        }

        // Drums: a light shaker and a soft kick once the tune runs.
        if (!intro && bar < Bars - 1) {
            for (int i = 0; i < 8; ++i)
                drums.note(at + static_cast<std::uint32_t>(i) * Eighth, 60, DrumCh, 70, i % 2 == 0 ? 46 : 32);
            drums.note(at, 120, DrumCh, 36, 64);
            drums.note(at + 2 * Quarter, 120, DrumCh, 36, 54);
            if (bSection) drums.note(at + 3 * Quarter + Eighth, 120, DrumCh, 75, 40); // claves
        }
    }

    std::vector<std::uint8_t> file = {'M',
                                      'T',
                                      'h',
                                      'd',
                                      0,
                                      0,
                                      0,
                                      6,
                                      0,
                                      1,
                                      0,
                                      6,
                                      static_cast<std::uint8_t>(Quarter >> 8),
                                      static_cast<std::uint8_t>(Quarter & 0xFF)};
    for (Track* track : {&conductor, &melody, &celesta, &bass, &pad, &drums}) {
        const auto c = track->chunk(end);
        file.insert(file.end(), c.begin(), c.end());
    }
    return file;
}

bool write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "resources";
    const WaveSpec waves[] = {
        {1000, 18, false, 33074, 33120, wrongAnswer}, {1001, 18, true, 2254, 2312, click},
        {1002, 16, false, 55124, 55168, fanfare},     {1003, 16, false, 44100, 44144, rightAnswer},
        {1004, 16, false, 44100, 44144, levelChoice}, {1005, 16, true, 6712, 6768, tick},
    };
    for (const WaveSpec& w : waves) {
        const auto image = waveImage(w);
        if (image.size() != w.fileSize) {
            std::fprintf(stderr, "%d.wav: %zu bytes, expected %zu\n", w.number, image.size(), w.fileSize);
            return 1;
        }
        const std::string path = dir + "/" + std::to_string(w.number) + ".wav";
        if (!write(path, image)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    if (!write(dir + "/bralun.mid", music())) {
        std::fprintf(stderr, "cannot write %s/bralun.mid\n", dir.c_str());
        return 1;
    }
    return 0;
}
