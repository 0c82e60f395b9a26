// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/warmup.h"

#include <fontconfig/fontconfig.h>

namespace app {

// FcInit sets the process's current configuration once, atomically: Qt's own call to it
// from the font database returns that configuration, whichever thread got there first.
FontWarmUp::FontWarmUp() : m_thread([] { FcInit(); }) {}

}  // namespace app
