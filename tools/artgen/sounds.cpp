#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.7;           // -3.1 dBFS: headroom below the -1 dBFS ceiling
constexpr double kEdgeSeconds = 0.002;  // fades at both ends: no click at start or end

// A fixed sequence of noise, the same on every run.
class Noise {
  public:
    double next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 53) * 2.0 - 1.0;
    }

  private:
    uint64_t state_ = 0x746f727669ull;  // "torvi"
};

// One-pole low-pass, for dull noise.
class LowPass {
  public:
    explicit LowPass(double cutoff_hz) : a_(1.0 - std::exp(-2.0 * kPi * cutoff_hz / kRate)) {}
    double operator()(double x) { return y_ += a_ * (x - y_); }

  private:
    double a_, y_ = 0.0;
};

using Voice = std::function<double(double t, Noise& noise)>;

// Samples of voice for seconds, faded in and out, scaled so the loudest sample is kPeak.
std::vector<double> render(double seconds, const Voice& voice) {
    const int count = static_cast<int>(seconds * kRate);
    const int edge = static_cast<int>(kEdgeSeconds * kRate);
    std::vector<double> out(static_cast<size_t>(count));
    Noise noise;
    double loudest = 0.0;
    for (int k = 0; k < count; ++k) {
        double s = voice(static_cast<double>(k) / kRate, noise);
        if (k < edge) s *= static_cast<double>(k) / edge;
        if (count - 1 - k < edge) s *= static_cast<double>(count - 1 - k) / edge;
        out[static_cast<size_t>(k)] = s;
        loudest = std::max(loudest, std::abs(s));
    }
    for (double& s : out) s *= loudest > 0.0 ? kPeak / loudest : 0.0;
    return out;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put_tag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

std::vector<uint8_t> wav_file(const std::vector<double>& samples) {
    const uint32_t data_size = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    put_tag(out, "RIFF");
    put32(out, 36 + data_size);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    put_tag(out, "data");
    put32(out, data_size);
    for (double s : samples) {
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * 32767.0))));
    }
    return out;
}

double decay(double t, double seconds) {
    return std::exp(-t / seconds);
}

// A soft step: a dull noise scuff over a low thud.
Voice tap() {
    auto dull = std::make_shared<LowPass>(900.0);
    return [dull](double t, Noise& noise) {
        return (*dull)(noise.next()) * decay(t, 0.018) * 2.5 +
               std::sin(2 * kPi * 110.0 * t) * decay(t, 0.025);
    };
}

// Struck metal: inharmonic partials ringing down after a bright click.
Voice klank() {
    return [](double t, Noise& noise) {
        const double partials[][2] = {{523.0, 1.0}, {1371.0, 0.7}, {2147.0, 0.5}, {3089.0, 0.35}};
        double s = noise.next() * decay(t, 0.004) * 0.8;
        for (const auto& p : partials) s += p[1] * std::sin(2 * kPi * p[0] * t) * decay(t, 0.09);
        return s;
    };
}

// A blast: rumbling noise and a falling low tone.
Voice boom() {
    auto dull = std::make_shared<LowPass>(300.0);
    return [dull](double t, Noise& noise) {
        const double tone = std::sin(2 * kPi * (70.0 * t - 25.0 * t * t));
        return ((*dull)(noise.next()) * 3.0 + tone * 0.8) * decay(t, 0.22);
    };
}

// A jump: a quick rising whoop.
Voice jump() {
    return [](double t, Noise&) {
        const double phase = 2 * kPi * (300.0 * t + 1100.0 * t * t);
        return std::sin(phase) * std::min(1.0, t / 0.01) * decay(t, 0.08);
    };
}

// A new element: three rising notes, a major chord.
Voice element() {
    return [](double t, Noise&) {
        const double notes[] = {523.25, 659.25, 783.99};
        double s = 0.0;
        for (int n = 0; n < 3; ++n) {
            const double start = n * 0.07;
            if (t < start) continue;
            const double u = t - start;
            s += (std::sin(2 * kPi * notes[n] * u) + 0.3 * std::sin(4 * kPi * notes[n] * u)) *
                 decay(u, 0.12);
        }
        return s;
    };
}

// A landing: a heavy thump with a little grit.
Voice land() {
    auto dull = std::make_shared<LowPass>(500.0);
    return [dull](double t, Noise& noise) {
        const double thump = std::sin(2 * kPi * (90.0 * t - 120.0 * t * t));
        return (thump + (*dull)(noise.next()) * 1.5) * decay(t, 0.035);
    };
}

// A dialog click: a short bright tick.
Voice click() {
    return [](double t, Noise&) { return std::sin(2 * kPi * 2200.0 * t) * decay(t, 0.004); };
}

NamedSound named(const char* file, double seconds, const Voice& voice) {
    const std::vector<double> samples = render(seconds, voice);
    double peak = 0.0;
    for (double s : samples) peak = std::max(peak, std::abs(std::lround(s * 32767.0) / 32768.0));
    return {file, wav_file(samples), seconds, 20.0 * std::log10(peak)};
}

}  // namespace

std::vector<NamedSound> all_sounds() {
    return {named("tap.wav", 0.09, tap()),        named("klank.wav", 0.45, klank()),
            named("boom.wav", 0.9, boom()),       named("jump.wav", 0.2, jump()),
            named("element.wav", 0.5, element()), named("land.wav", 0.16, land()),
            named("click.wav", 0.03, click())};
}
