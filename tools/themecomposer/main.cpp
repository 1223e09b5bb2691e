// Composes the five background themes as standard MIDI files (format 1).
//   themecomposer OUTPUT_FOLDER      writes theme1.mid ... theme5.mid
// Each theme has its own key, tempo, metre and instruments; its tune is drawn from the
// chord tones with a fixed seed and laid out as A A B A, so that it can be hummed.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>
#include <algorithm>

namespace {

constexpr int kTicks = 480;  // per quarter note

struct Event {
    int tick;
    std::vector<uint8_t> bytes;
};

struct Track {
    std::vector<Event> events;
    void note(int channel, int at, int length, int pitch, int velocity)
    {
        events.push_back({at, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(pitch),
                               static_cast<uint8_t>(velocity)}});
        events.push_back({at + length, {static_cast<uint8_t>(0x80 | channel),
                                        static_cast<uint8_t>(pitch), 0}});
    }
    void program(int channel, int instrument)
    {
        events.push_back({0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(instrument)}});
    }
    void volume(int channel, int v)
    {
        events.push_back({0, {static_cast<uint8_t>(0xB0 | channel), 7, static_cast<uint8_t>(v)}});
    }
};

void vlq(std::string& out, uint32_t v)
{
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while (v >>= 7)
        buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
    while (n--)
        out += static_cast<char>(buf[n]);
}

std::string chunk(const char* id, const std::string& body)
{
    std::string out(id, 4);
    const uint32_t n = static_cast<uint32_t>(body.size());
    out += static_cast<char>(n >> 24);
    out += static_cast<char>(n >> 16);
    out += static_cast<char>(n >> 8);
    out += static_cast<char>(n);
    return out + body;
}

std::string trackBytes(Track t, const std::vector<uint8_t>& head = {})
{
    // Note-offs before note-ons at the same tick, so repeated notes sound.
    std::stable_sort(t.events.begin(), t.events.end(), [](const Event& a, const Event& b) {
        if (a.tick != b.tick)
            return a.tick < b.tick;
        return (a.bytes[0] & 0xF0) == 0x80 && (b.bytes[0] & 0xF0) != 0x80;
    });
    std::string body;
    for (uint8_t b : head)
        body += static_cast<char>(b);
    int last = 0;
    for (const Event& e : t.events) {
        vlq(body, static_cast<uint32_t>(e.tick - last));
        last = e.tick;
        body.append(e.bytes.begin(), e.bytes.end());
    }
    body += std::string("\x00\xFF\x2F\x00", 4);
    return chunk("MTrk", body);
}

struct Theme {
    const char* file;
    int bpm;
    int beats;                 // per bar
    int key;                   // MIDI note of the tonic
    std::vector<int> scale;    // semitones from the tonic
    std::vector<int> partA;    // chord roots as scale degrees, one per bar
    std::vector<int> partB;
    int lead, pad, bass;       // General MIDI programs
    int seed;
    int swing;                 // 0 straight; > 0 a lilt on the off-beats, in ticks
    bool drums;
};

// The chord on a scale degree: root, third and fifth of the scale.
std::vector<int> chord(const Theme& t, int degree)
{
    std::vector<int> notes;
    for (int k : {0, 2, 4}) {
        const int d = degree + k;
        const int octave = d / static_cast<int>(t.scale.size());
        notes.push_back(t.key + t.scale[static_cast<size_t>(d % t.scale.size())] + 12 * octave);
    }
    return notes;
}

// One bar of tune over a chord: a rhythm from a small stock, notes near the last one,
// chord tones on the strong beats.
std::vector<std::pair<int, int>> tuneBar(const Theme& t, int degree, std::mt19937& rng, int& last)
{
    const int bar = t.beats * kTicks;
    static const std::vector<std::vector<int>> rhythms4 = {
        {2, 2, 2, 2}, {1, 1, 2, 2, 2}, {3, 1, 2, 2}, {2, 1, 1, 4}, {4, 2, 2}, {1, 1, 1, 1, 2, 2}};
    static const std::vector<std::vector<int>> rhythms3 = {{2, 2, 2}, {4, 2}, {2, 1, 1, 2}, {3, 1, 2}};
    const auto& stock = t.beats == 3 ? rhythms3 : rhythms4;
    const auto& rhythm = stock[std::uniform_int_distribution<size_t>(0, stock.size() - 1)(rng)];
    const std::vector<int> tones = chord(t, degree);
    std::vector<std::pair<int, int>> notes;  // (pitch, length in eighths)
    int at = 0;
    for (int len : rhythm) {
        int pitch;
        if (at % 4 == 0) {
            // A strong beat: the chord tone nearest the last note, an octave up.
            pitch = tones[0] + 12;
            for (int tone : tones)
                for (int o : {12, 24})
                    if (std::abs(tone + o - last) < std::abs(pitch - last))
                        pitch = tone + o;
        } else {
            // A passing step of the scale, up or down.
            const int step = std::uniform_int_distribution<int>(-2, 2)(rng);
            int best = last;
            for (int o = 0; o < 3; ++o)
                for (int s : t.scale) {
                    const int cand = t.key + 12 + s + 12 * o;
                    if (std::abs(cand - (last + step * 2)) < std::abs(best - (last + step * 2)))
                        best = cand;
                }
            pitch = best;
        }
        pitch = std::clamp(pitch, t.key + 9, t.key + 33);
        notes.push_back({pitch, len});
        last = pitch;
        at += len;
    }
    (void)bar;
    return notes;
}

void compose(const Theme& t, const std::string& folder)
{
    std::mt19937 rng(static_cast<uint32_t>(t.seed));
    Track lead, pad, bass, drums;
    lead.program(0, t.lead);
    pad.program(1, t.pad);
    bass.program(2, t.bass);
    lead.volume(0, 100);
    pad.volume(1, 70);
    bass.volume(2, 90);
    drums.volume(9, 80);
    const int bar = t.beats * kTicks;
    const int eighth = kTicks / 2;

    // Tunes for the two parts, made once and played again at every repeat.
    std::vector<std::vector<std::pair<int, int>>> tuneA, tuneB;
    int last = t.key + 16;
    for (int d : t.partA)
        tuneA.push_back(tuneBar(t, d, rng, last));
    for (int d : t.partB)
        tuneB.push_back(tuneBar(t, d, rng, last));

    int at = 0;
    const auto playPart = [&](const std::vector<int>& part, const std::vector<std::vector<std::pair<int, int>>>& tune,
                              bool withTune) {
        for (size_t b = 0; b < part.size(); ++b) {
            const std::vector<int> tones = chord(t, part[b]);
            // Pad: the chord held through the bar.
            for (int n : tones)
                pad.note(1, at, bar - 20, n, 52);
            // Bass: the root on the beats, the fifth between on longer bars.
            for (int beat = 0; beat < t.beats; ++beat) {
                const int pitch = (beat % 2 == 1 && t.beats == 4) ? tones[2] - 24 : tones[0] - 24;
                bass.note(2, at + beat * kTicks, kTicks - 40, pitch, beat == 0 ? 96 : 80);
            }
            if (withTune) {
                int x = 0;
                for (const auto& [pitch, len] : tune[b]) {
                    const int lilt = (x % 2 == 1) ? t.swing : 0;
                    lead.note(0, at + x * eighth + lilt, len * eighth - 30, pitch, 88 + (x == 0 ? 12 : 0));
                    x += len;
                }
            }
            if (t.drums) {
                for (int e = 0; e < t.beats * 2; ++e) {
                    const int when = at + e * eighth + ((e % 2) ? t.swing : 0);
                    drums.note(9, when, 60, 42, e % 2 ? 50 : 70);  // closed hi-hat
                }
                drums.note(9, at, 100, 36, 100);  // kick
                if (t.beats == 4) {
                    drums.note(9, at + 2 * kTicks, 100, 36, 90);
                    drums.note(9, at + kTicks, 100, 38, 80);  // snare
                    drums.note(9, at + 3 * kTicks, 100, 38, 85);
                } else {
                    drums.note(9, at + kTicks, 100, 37, 60);  // side stick
                    drums.note(9, at + 2 * kTicks, 100, 37, 60);
                }
            }
            at += bar;
        }
    };
    // Intro without the tune, then A A B A twice, and a last chord.
    playPart(t.partA, tuneA, false);
    for (int round = 0; round < 2; ++round) {
        playPart(t.partA, tuneA, true);
        playPart(t.partA, tuneA, true);
        playPart(t.partB, tuneB, true);
        playPart(t.partA, tuneA, true);
    }
    for (int n : chord(t, 0)) {
        pad.note(1, at, 2 * bar, n, 60);
        lead.note(0, at, 2 * bar, n + 12, 70);
    }
    bass.note(2, at, 2 * bar, t.key - 24, 90);

    const uint32_t usPerQuarter = static_cast<uint32_t>(60000000 / t.bpm);
    Track meta;
    const std::vector<uint8_t> head = {
        0x00, 0xFF, 0x51, 0x03, static_cast<uint8_t>(usPerQuarter >> 16),
        static_cast<uint8_t>(usPerQuarter >> 8), static_cast<uint8_t>(usPerQuarter),
        0x00, 0xFF, 0x58, 0x04, static_cast<uint8_t>(t.beats), 0x02, 24, 8};
    std::string file = chunk("MThd", std::string("\x00\x01\x00\x05", 4) +
                                         std::string(1, static_cast<char>(kTicks >> 8)) +
                                         std::string(1, static_cast<char>(kTicks & 0xFF)));
    file += trackBytes(meta, head);
    file += trackBytes(lead);
    file += trackBytes(pad);
    file += trackBytes(bass);
    file += trackBytes(drums);
    std::ofstream out(folder + "/" + t.file, std::ios::binary);
    out << file;
    const double seconds = static_cast<double>(at + 2 * bar) / kTicks * 60.0 / t.bpm;
    std::printf("%s: %d bpm, %d/4, %.0f s\n", t.file, t.bpm, t.beats, seconds);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: themecomposer OUTPUT_FOLDER\n");
        return 2;
    }
    const std::vector<int> major = {0, 2, 4, 5, 7, 9, 11};
    const std::vector<int> minor = {0, 2, 3, 5, 7, 8, 10};
    const std::vector<int> dorian = {0, 2, 3, 5, 7, 9, 10};
    const Theme themes[] = {
        // A bright morning tune: flute over piano.
        {"theme1.mid", 120, 4, 60, major, {0, 5, 3, 4, 0, 5, 1, 4}, {3, 4, 2, 5, 3, 4, 1, 4}, 73, 0, 33, 11, 0, true},
        // A slow caravan in the dunes: clarinet over nylon guitar.
        {"theme2.mid", 104, 4, 62, dorian, {0, 3, 0, 4, 0, 3, 6, 0}, {2, 3, 4, 3, 2, 3, 4, 4}, 71, 24, 32, 23, 40, true},
        // A night run: synth lead, quick and minor.
        {"theme3.mid", 140, 4, 57, minor, {0, 5, 2, 6, 0, 5, 3, 4}, {5, 6, 0, 0, 3, 4, 0, 4}, 81, 89, 38, 37, 0, true},
        // A castle march: brass over strings.
        {"theme4.mid", 108, 4, 65, major, {0, 3, 4, 0, 5, 1, 4, 0}, {3, 0, 3, 4, 5, 3, 1, 4}, 61, 48, 58, 41, 0, true},
        // A dreamy waltz: vibraphone over strings, no drums.
        {"theme5.mid", 84, 3, 67, major, {0, 0, 3, 4, 0, 5, 1, 4}, {3, 3, 0, 5, 1, 1, 4, 4}, 11, 49, 32, 53, 30, false},
    };
    for (const Theme& t : themes)
        compose(t, argv[1]);
    return 0;
}
