// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/recording.h"

namespace session {

archive::Status archivia(Modtempar& shared, const Pupil& pupil, int right, int given,
                         const QDateTime& when) {
    if (given == 0) {
        return archive::Status();
    }
    if (!shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    if (pupil.row != 0) {
        return shared.archiveDb->storeRow(pupil.row, pupil.name, right, given, when);
    }
    return shared.archiveDb->store(pupil.name, right, given, when);
}

}  // namespace session
