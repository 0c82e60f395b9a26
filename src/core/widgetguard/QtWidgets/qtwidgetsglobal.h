// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// First on the core's include path: every Qt Widgets header includes this one, so a core
// source that reaches a widget by any path stops here.
#error "The core (src/core) never uses Qt Widgets: windows belong in src/ui, wiring in src/app."
