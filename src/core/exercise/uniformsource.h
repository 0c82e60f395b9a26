// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>
#include <random>

namespace exercise {

// The random engine that dealing draws from, usable by std::sample and std::shuffle. The
// program uses ClockUniformSource; tests give a seeded one so that a deal can be replayed.
class UniformSource {
public:
    using result_type = std::uint64_t;
    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }

    virtual ~UniformSource() = default;
    virtual result_type operator()() = 0;
};

// A 64-bit Mersenne Twister seeded from the system's entropy and the clock, or from a given
// seed for a replayable run.
class ClockUniformSource : public UniformSource {
public:
    ClockUniformSource();
    explicit ClockUniformSource(std::uint64_t seed) : m_engine(seed) {}

    result_type operator()() override { return m_engine(); }

private:
    std::mt19937_64 m_engine;
};

}  // namespace exercise
