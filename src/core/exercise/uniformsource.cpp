// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/uniformsource.h"

#include <chrono>

namespace exercise {

namespace {

// The clock's ticks go into the seed as two words of this many bits.
constexpr int kSeedWordBits = 32;

}  // namespace

ClockUniformSource::ClockUniformSource() {
    std::random_device device;
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq seq{device(), device(), static_cast<std::uint32_t>(ticks),
                      static_cast<std::uint32_t>(ticks >> kSeedWordBits)};
    m_engine.seed(seq);
}

}  // namespace exercise
