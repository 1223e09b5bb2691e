// Synthesises the fifteen game sounds and packs them into "Sounds.dxw".
//   soundsynth OUTPUT.dxw
// Every clip is made from a few oscillators and a noise source with simple envelopes, in
// one bright, toy-like style; a fixed seed keeps the file the same on every run.
#include "sound/WaveList.h"

#include <QFile>

#include <cmath>
#include <cstdio>
#include <random>

using namespace kestrum;

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

enum class Wave { Sine, Triangle, Square, Noise };

struct Buffer {
    std::vector<double> s;
    void ensure(size_t n)
    {
        if (s.size() < n)
            s.resize(n, 0.0);
    }
};

std::mt19937 noise(12345);

double osc(Wave w, double phase)
{
    const double p = phase - std::floor(phase);
    switch (w) {
    case Wave::Sine: return std::sin(2 * kPi * p);
    case Wave::Triangle: return 4 * std::fabs(p - 0.5) - 1;
    case Wave::Square: return p < 0.5 ? 0.8 : -0.8;
    case Wave::Noise: return std::uniform_real_distribution<double>(-1, 1)(noise);
    }
    return 0;
}

// A tone from f0 to f1 (exponential glide), starting at `at` seconds, with a short attack
// and an exponential decay; vibrato in Hz and depth as a ratio.
void tone(Buffer& b, double at, double dur, double f0, double f1, Wave w, double gain,
          double decay = 4.0, double vibHz = 0, double vibDepth = 0)
{
    const size_t start = static_cast<size_t>(at * kRate);
    const size_t n = static_cast<size_t>(dur * kRate);
    b.ensure(start + n);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double x = static_cast<double>(i) / static_cast<double>(n);
        double f = f0 * std::pow(f1 / f0, x);
        if (vibHz > 0)
            f *= 1 + vibDepth * std::sin(2 * kPi * vibHz * t);
        phase += f / kRate;
        const double attack = std::min(1.0, t / 0.004);
        const double env = attack * std::exp(-decay * x) * (1 - std::pow(x, 8));
        b.s[start + i] += gain * env * osc(w, phase);
    }
}

QByteArray render(const Buffer& b)
{
    double peak = 1e-9;
    for (double v : b.s)
        peak = std::max(peak, std::fabs(v));
    const double scale = 0.85 / peak;
    std::vector<int16_t> out;
    out.reserve(b.s.size());
    for (double v : b.s)
        out.push_back(static_cast<int16_t>(std::lround(std::clamp(v * scale, -1.0, 1.0) * 32000)));
    return makeWav(out, kRate);
}

double note(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

WaveClip clip(const char* name, const Buffer& b, int copies, int volume, int pan = 0)
{
    WaveClip c;
    c.name = QString::fromLatin1(name);
    c.copies = copies;
    c.volume = volume;
    c.pan = pan;
    c.frequency = kRate;
    c.wav = render(b);
    return c;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundsynth OUTPUT.dxw\n");
        return 2;
    }
    std::vector<WaveClip> clips;
    {  // Start: a rising arpeggio to greet the player.
        Buffer b;
        const int notes[] = {60, 64, 67, 72, 76};
        for (int i = 0; i < 5; ++i)
            tone(b, i * 0.07, 0.35, note(notes[i]), note(notes[i]), Wave::Triangle, 0.5, 3);
        clips.push_back(clip("Start", b, 1, 110));
    }
    {  // ShowApple: a soft pop.
        Buffer b;
        tone(b, 0, 0.09, 1200, 500, Wave::Sine, 0.9, 5);
        clips.push_back(clip("ShowApple", b, 4, 70));
    }
    {  // ShowDeath: a low, wavering warning.
        Buffer b;
        tone(b, 0, 0.45, 110, 98, Wave::Square, 0.35, 2, 7, 0.04);
        tone(b, 0, 0.45, 220, 196, Wave::Sine, 0.3, 2);
        clips.push_back(clip("ShowDeath", b, 1, 90));
    }
    {  // ShowPear: a bright chime.
        Buffer b;
        tone(b, 0, 0.4, note(88), note(88), Wave::Sine, 0.5, 5);
        tone(b, 0.05, 0.35, note(95), note(95), Wave::Sine, 0.35, 5);
        clips.push_back(clip("ShowPear", b, 1, 90));
    }
    {  // ShowScis: a metallic shing.
        Buffer b;
        tone(b, 0, 0.22, 2000, 5000, Wave::Sine, 0.4, 6);
        tone(b, 0, 0.12, 1, 1, Wave::Noise, 0.25, 8);
        clips.push_back(clip("ShowScis", b, 1, 80));
    }
    {  // ShowMush: a wobbly boing.
        Buffer b;
        tone(b, 0, 0.35, 280, 620, Wave::Sine, 0.7, 3, 14, 0.08);
        clips.push_back(clip("ShowMush", b, 1, 90));
    }
    {  // EatApple: a crunchy bite.
        Buffer b;
        tone(b, 0, 0.06, 1, 1, Wave::Noise, 0.6, 6);
        tone(b, 0, 0.08, 220, 110, Wave::Sine, 0.8, 5);
        tone(b, 0.05, 0.06, 1, 1, Wave::Noise, 0.4, 7);
        clips.push_back(clip("EatApple", b, 3, 110));
    }
    {  // EatScis: two snips.
        Buffer b;
        for (double at : {0.0, 0.09}) {
            tone(b, at, 0.045, 1, 1, Wave::Noise, 0.7, 9);
            tone(b, at, 0.04, 3500, 2500, Wave::Square, 0.2, 9);
        }
        clips.push_back(clip("EatScis", b, 2, 100));
    }
    {  // EatMush: the world turns: a woozy downward glide.
        Buffer b;
        tone(b, 0, 0.7, 900, 180, Wave::Triangle, 0.6, 1.5, 9, 0.06);
        tone(b, 0.05, 0.65, 600, 120, Wave::Sine, 0.4, 1.5, 6, 0.05);
        clips.push_back(clip("EatMush", b, 1, 100));
    }
    {  // StopMush: and back again, upward.
        Buffer b;
        tone(b, 0, 0.5, 180, 900, Wave::Triangle, 0.6, 1.5);
        clips.push_back(clip("StopMush", b, 1, 100));
    }
    {  // ShowExit: a sparkle.
        Buffer b;
        const int notes[] = {84, 88, 91, 96};
        for (int i = 0; i < 4; ++i)
            tone(b, i * 0.05, 0.25, note(notes[i]), note(notes[i]), Wave::Sine, 0.4, 5);
        clips.push_back(clip("ShowExit", b, 1, 80));
    }
    {  // NextLevel: a fanfare.
        Buffer b;
        const int notes[] = {67, 72, 76, 79};
        for (int i = 0; i < 3; ++i) {
            tone(b, i * 0.12, 0.14, note(notes[i]), note(notes[i]), Wave::Square, 0.3, 2);
            tone(b, i * 0.12, 0.14, note(notes[i] - 12), note(notes[i] - 12), Wave::Triangle, 0.3, 2);
        }
        tone(b, 0.36, 0.6, note(84), note(84), Wave::Square, 0.3, 2.5, 6, 0.01);
        tone(b, 0.36, 0.6, note(72), note(72), Wave::Triangle, 0.35, 2.5);
        tone(b, 0.36, 0.6, note(76), note(76), Wave::Triangle, 0.25, 2.5);
        clips.push_back(clip("NextLevel", b, 1, 110));
    }
    {  // Death: a fall.
        Buffer b;
        tone(b, 0, 0.6, 520, 90, Wave::Square, 0.4, 2);
        tone(b, 0, 0.6, 260, 45, Wave::Triangle, 0.4, 2);
        clips.push_back(clip("Death", b, 1, 110));
    }
    {  // GameOver: a slow, sad descent.
        Buffer b;
        const int notes[] = {67, 63, 60, 55};
        for (int i = 0; i < 4; ++i)
            tone(b, i * 0.28, i == 3 ? 0.9 : 0.32, note(notes[i]), note(notes[i]) * (i == 3 ? 0.97 : 1),
                 Wave::Triangle, 0.55, 2.5, 5, 0.01);
        clips.push_back(clip("GameOver", b, 1, 115));
    }
    {  // ShowFame: a proud chord rising.
        Buffer b;
        const int notes[] = {60, 64, 67, 72, 76, 79, 84};
        for (int i = 0; i < 7; ++i)
            tone(b, i * 0.06, 0.8 - i * 0.05, note(notes[i]), note(notes[i]), Wave::Triangle, 0.35, 2);
        tone(b, 0.42, 0.7, note(84), note(84), Wave::Sine, 0.3, 2, 5, 0.01);
        clips.push_back(clip("ShowFame", b, 1, 110));
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(writeWaveList(clips)) < 0) {
        std::fprintf(stderr, "soundsynth: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%zu clips\n", clips.size());
    return 0;
}
