// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QtGlobal>
#include <vector>

#include "exercise/memorymodel.h"

namespace exercise {

class UniformSource;

// One first placement of a date on a fact's box in a deal: the day it was given (a day
// number, as QDate::toJulianDay gives) and whether it was right. Later placements on the
// same box in the same deal are not answers of the pupil's memory and are not listed.
struct FirstAnswer {
    qint64 day = 0;
    bool right = false;
};

// What the dealing knows of one fact for one pupil.
struct FactMemory {
    MemoryState state;
    qint64 lastDay = 0;
    bool lastRight = false;
};

// Replays a fact's first answers, oldest first, into what the dealing knows of it. Answers
// dated before the previous one (a clock set backwards) count as given on the same day.
FactMemory replay(const MemoryModel& model, const std::vector<FirstAnswer>& answers);

// Ripasso: chooses `count` different facts among the candidates (table rows) for a pupil
// whose memory of each fact seen is in `memory`, on day `today`. Facts answered wrong the
// last time come first, then facts whose recall has fallen to the retention wanted (each
// group lowest predicted recall first), then facts never seen, then the rest; ties and the
// last two groups in random order. While facts never seen remain, at least `newFacts` of
// them are among the chosen, so that a pupil who gets much wrong still meets the whole
// set. The chosen rows come back in random order. With fewer candidates than `count`, all
// of them come back.
std::vector<int> chooseForReview(const std::vector<int>& candidates,
                                 const QHash<int, FactMemory>& memory, qint64 today,
                                 const MemoryModel& model, UniformSource& random, int count,
                                 int newFacts = 0);

}  // namespace exercise
