#include "exercise/uniformsource.h"

#include <chrono>

namespace exercise {

namespace {

std::uint64_t clockTicks() {
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

}  // namespace

ClockUniformSource::ClockUniformSource() {
    std::random_device device;
    const std::uint64_t ticks = clockTicks();
    std::seed_seq seq{device(), device(), static_cast<std::uint32_t>(ticks),
                      static_cast<std::uint32_t>(ticks >> 32)};
    m_engine.seed(seq);
}

double ClockUniformSource::next() {
    // 53 random bits scaled into [0, 1): every double of the grid is equally likely.
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

void ClockUniformSource::seedFromClock() {
    if (!m_mixClock) {
        return;
    }
    // The state only ever moves forward, by a clock-dependent number of steps: an unchanged
    // clock still moves it on, and every draw stays a plain draw of the generator.
    m_engine.discard(1 + (clockTicks() & 0xF));
}

}  // namespace exercise
