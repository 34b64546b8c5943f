#include "Textures.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

int Clamp255(double v) {
    return std::clamp(int(std::lround(v)), 0, 255);
}

QRgb Rgb(double r, double g, double b) {
    return qRgb(Clamp255(r), Clamp255(g), Clamp255(b));
}

// Marble veins: a sine wave across the tile, bent by fractal noise. The wave has whole numbers of
// periods across the tile in x and y, so the veins run on seamlessly into the next tile. Returns
// 1 on a vein's centre line, falling off to 0 away from it.
double Vein(const PeriodicNoise& noise, double x, double y, double w, double h, int kx, int ky,
    double bend, double sharpness) {
    const double phase = kTau * (kx * x / w + ky * y / h) + bend * noise.Fractal(x, y, 2, 3);
    return std::pow(1.0 - std::abs(std::sin(phase)), sharpness);
}

struct Colour {
    double r, g, b;
};

// Samples the drawing (in 1x pixels, w x h of them) into an image of `scale` times the size,
// averaging 4 x 4 samples per pixel, so thin veins come out smooth instead of dotted.
template <typename ColourAt> QImage Supersampled(int w, int h, int scale, ColourAt colourAt) {
    constexpr int n = 4;
    QImage image(w * scale, h * scale, QImage::Format_RGB32);
    for (int y = 0; y < h * scale; ++y) {
        for (int x = 0; x < w * scale; ++x) {
            Colour sum { 0, 0, 0 };
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx) {
                    const Colour c
                        = colourAt((x + (sx + 0.5) / n) / scale, (y + (sy + 0.5) / n) / scale);
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                }
            image.setPixel(x, y, Rgb(sum.r / (n * n), sum.g / (n * n), sum.b / (n * n)));
        }
    }
    return image;
}

} // namespace

QImage RenderLightSquares(int scale) {
    constexpr int w = 98;
    constexpr int h = 95;
    const PeriodicNoise noise(w, h, 11);
    const PeriodicNoise veinNoise(w, h, 23);
    const PeriodicNoise fineNoise(w, h, 37);
    return Supersampled(w, h, scale, [&](double x, double y) {
        const double cloud = noise.Fractal(x, y, 2, 4);
        const double broad = Vein(veinNoise, x, y, w, h, 1, 1, 3.5, 5.0);
        const double fine = Vein(fineNoise, x, y, w, h, 1, -2, 4.0, 40.0);
        const double grain = fineNoise.Octave(x, y, 49, 47, 99);
        const double base = 214 + 9 * cloud + 1.5 * grain;
        const double vein = 14 * broad + 22 * fine;
        return Colour { base - vein, base - vein * 0.97, base + 3 - vein * 0.9 };
    });
}

QImage RenderDarkSquares(int scale) {
    constexpr int w = 104;
    constexpr int h = 102;
    const PeriodicNoise noise(w, h, 41);
    const PeriodicNoise veinNoise(w, h, 53);
    return Supersampled(w, h, scale, [&](double x, double y) {
        const double cloud = noise.Fractal(x, y, 2, 5);
        const double grain = noise.Octave(x, y, 52, 51, 77);
        const double vein = Vein(veinNoise, x, y, w, h, 1, -1, 4.0, 30.0);
        const double base = 30 + 6 * cloud + 2.0 * grain + 16 * vein;
        return Colour { base, base + 1, base + 4 };
    });
}

QImage RenderBorder(int scale) {
    constexpr int size = 128;
    constexpr double cell = 32; // four diamonds across the tile
    const PeriodicNoise noise(size, size, 67);
    return Supersampled(size, size, scale, [&](double x, double y) {
        // Distance to the nearest diagonal seam of the diamond lattice, in pixels.
        const double u = std::fmod(x + y, cell);
        const double v = std::fmod(x - y + 4 * cell, cell);
        const double du = std::min(u, cell - u);
        const double dv = std::min(v, cell - v);
        const double seam = std::exp(-std::min(du, dv) * std::min(du, dv) / 1.2);
        // Each diamond is lit from the top: brighter towards its upper seams.
        const double pillow = (u / cell - 0.5) * (v / cell - 0.5);
        const double cloud = noise.Fractal(x, y, 4, 4);
        const double grain = noise.Octave(x, y, 64, 64, 5);
        return Colour { 14 + 5 * cloud + 2 * grain - 8 * pillow + 10 * seam,
            24 + 8 * cloud + 2 * grain - 12 * pillow + 16 * seam,
            70 + 18 * cloud + 3 * grain - 28 * pillow + 30 * seam };
    });
}

} // namespace artgen
