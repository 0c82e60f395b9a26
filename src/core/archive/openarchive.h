// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "archive/archive.h"
#include "archive/place.h"
#include "archive/status.h"

namespace archive {

// Opens the archive at place with the engine it needs: the server's when place.server
// names a service, the file's otherwise. Empty on failure, with status saying why. The one
// spot outside the engines and the tools that knows both engines.
std::unique_ptr<Archive> openArchive(const Place& place, Status* status);

}  // namespace archive
