#include "Noise.h"

#include <cmath>

namespace artgen {

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h
        = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

PeriodicNoise::PeriodicNoise(double width, double height, std::uint32_t seed)
    : width_(width)
    , height_(height)
    , seed_(seed) { }

double PeriodicNoise::Lattice(int ix, int iy, std::uint32_t salt) const {
    return Hash(std::uint32_t(ix), std::uint32_t(iy), seed_ + salt) / 2147483647.5 - 1.0;
}

double PeriodicNoise::Octave(double x, double y, int cellsX, int cellsY, std::uint32_t salt) const {
    const double fx = x / width_ * cellsX;
    const double fy = y / height_ * cellsY;
    const double flx = std::floor(fx);
    const double fly = std::floor(fy);
    const auto wrap = [](int i, int n) { return ((i % n) + n) % n; };
    const int x0 = wrap(int(flx), cellsX);
    const int y0 = wrap(int(fly), cellsY);
    const int x1 = (x0 + 1) % cellsX;
    const int y1 = (y0 + 1) % cellsY;
    // Quintic fade keeps the lattice grid from showing.
    const auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double tx = fade(fx - flx);
    const double ty = fade(fy - fly);
    const double a = Lattice(x0, y0, salt) + (Lattice(x1, y0, salt) - Lattice(x0, y0, salt)) * tx;
    const double b = Lattice(x0, y1, salt) + (Lattice(x1, y1, salt) - Lattice(x0, y1, salt)) * tx;
    return a + (b - a) * ty;
}

double PeriodicNoise::Fractal(double x, double y, int baseCells, int octaves) const {
    double sum = 0;
    double norm = 0;
    double amplitude = 1;
    int cells = baseCells;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Octave(x, y, cells, cells, std::uint32_t(i) * 7919u);
        norm += amplitude;
        amplitude *= 0.5;
        cells *= 2;
    }
    return sum / norm;
}

} // namespace artgen
