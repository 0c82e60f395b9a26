// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

namespace app {

// The font configuration is the largest single cost of a start: the desktop's fontconfig
// files are parsed and its font cache read (10 to 40 ms) before the first text can be
// measured. This reads them on a thread of its own while the program connects to the
// display, which is mostly waiting; Qt then finds the configuration ready. Made before the
// application object; joins when it goes.
class FontWarmUp {
public:
    FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;
    ~FontWarmUp() = default;

private:
    std::jthread m_thread;
};

}  // namespace app
