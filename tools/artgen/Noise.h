// Seamless noise for the board textures: every function here is periodic with the period of the
// image it is sampled for, so the textures tile without visible seams.
#pragma once

#include <cstdint>

namespace artgen {

// Value noise on a lattice of cellsX x cellsY cells stretched over a width x height image; the
// lattice wraps, so Sample(x + width, y) == Sample(x, y) and likewise in y.
class PeriodicNoise {
public:
    PeriodicNoise(double width, double height, std::uint32_t seed);

    // One octave on a cellsX x cellsY lattice, in [-1, 1].
    double Octave(double x, double y, int cellsX, int cellsY, std::uint32_t salt) const;

    // Fractal sum of `octaves` octaves starting at baseCells x baseCells, each twice as fine and
    // half as strong; normalised to about [-1, 1].
    double Fractal(double x, double y, int baseCells, int octaves) const;

private:
    double Lattice(int ix, int iy, std::uint32_t salt) const;

    double width_;
    double height_;
    std::uint32_t seed_;
};

// Small deterministic hash (no global random state), used for lattice values and speckles.
std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c);

} // namespace artgen
