// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/recording.h"

namespace session {

archive::Status archivia(Modtempar& shared, const QString& pupilName, int right, int given,
                         const QDateTime& when) {
    if (given == 0) {
        return archive::Status();
    }
    if (!shared.archiveDb) {
        return archive::Status::own(archive::Status::kClosed);
    }
    if (shared.currentRow != 0) {
        return shared.archiveDb->storeRow(shared.currentRow, pupilName, right, given, when);
    }
    return shared.archiveDb->store(pupilName, right, given, when);
}

}  // namespace session
