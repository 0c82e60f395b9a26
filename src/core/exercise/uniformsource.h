#pragma once

#include <cstdint>
#include <random>

namespace exercise {

// Uniform numbers in [0, 1) for dealing. The program uses ClockUniformSource; tests give a
// seeded one so that a deal can be replayed.
class UniformSource {
public:
    virtual ~UniformSource() = default;
    virtual double next() = 0;
    // Called where dealing asks for fresh randomness from the clock. It must never set the
    // generator back to a state it had before, or a refused draw could repeat forever.
    virtual void seedFromClock() {}
};

// A 64-bit Mersenne Twister seeded once from the system's entropy and the clock; later
// "seedings" mix the clock into the current state, so draws stay uniform and never repeat
// a state while the clock stands still.
class ClockUniformSource : public UniformSource {
public:
    ClockUniformSource();
    explicit ClockUniformSource(std::uint64_t seed) : m_engine(seed), m_mixClock(false) {}

    double next() override;
    void seedFromClock() override;

private:
    std::mt19937_64 m_engine;
    bool m_mixClock = true;
};

}  // namespace exercise
