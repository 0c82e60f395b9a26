// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Must not compile: a widget reached through the Qt include root, as a core source could.
#include <QtWidgets/QLabel>
