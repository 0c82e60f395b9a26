// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/review.h"

#include <algorithm>
#include <random>

#include "exercise/uniformsource.h"

namespace exercise {

namespace {

// The order of the groups a fact falls in when dealing for ripasso.
enum class Need { WrongLastTime, Due, NeverSeen, NotYetDue };

struct Candidate {
    int row = 0;
    Need need = Need::NeverSeen;
    double recall = 0;
    std::uint64_t tieBreak = 0;
};

}  // namespace

FactMemory replay(const MemoryModel& model, const std::vector<FirstAnswer>& answers) {
    FactMemory memory;
    for (const FirstAnswer& answer : answers) {
        const qint64 elapsed =
            memory.state.seen() ? std::max<qint64>(answer.day - memory.lastDay, 0) : 0;
        memory.state = model.next(memory.state, static_cast<double>(elapsed),
                                  answer.right ? Grade::Good : Grade::Again);
        memory.lastDay = std::max(memory.lastDay, answer.day);
        memory.lastRight = answer.right;
    }
    return memory;
}

std::vector<int> chooseForReview(const std::vector<int>& candidates,
                                 const QHash<int, FactMemory>& memory, qint64 today,
                                 const MemoryModel& model, UniformSource& random, int count,
                                 int newFacts) {
    std::vector<Candidate> all;
    all.reserve(candidates.size());
    for (const int row : candidates) {
        Candidate candidate{row, Need::NeverSeen, 0, random()};
        const auto known = memory.constFind(row);
        if (known != memory.constEnd() && known->state.seen()) {
            const double elapsed = static_cast<double>(std::max<qint64>(today - known->lastDay, 0));
            candidate.recall = model.recall(known->state, elapsed);
            candidate.need = !known->lastRight                              ? Need::WrongLastTime
                             : candidate.recall <= model.desiredRetention() ? Need::Due
                                                                            : Need::NotYetDue;
        }
        all.push_back(candidate);
    }
    const auto first = [](const Candidate& a, const Candidate& b) {
        if (a.need != b.need) {
            return a.need < b.need;
        }
        const bool byRecall = a.need == Need::WrongLastTime || a.need == Need::Due;
        if (byRecall && a.recall != b.recall) {
            return a.recall < b.recall;
        }
        return a.tieBreak < b.tieBreak;
    };
    const std::size_t taken =
        std::min<std::size_t>(all.size(), static_cast<std::size_t>(std::max(count, 0)));
    std::sort(all.begin(), all.end(), first);
    // Places kept for facts never seen: the last of the chosen give way to them.
    const auto neverSeen = std::find_if(
        all.begin(), all.end(), [](const Candidate& c) { return c.need == Need::NeverSeen; });
    const auto unseen = std::count_if(neverSeen, all.end(),
                                      [](const Candidate& c) { return c.need == Need::NeverSeen; });
    const auto keep = std::min<std::ptrdiff_t>(
        {std::max(newFacts, 0), unseen, static_cast<std::ptrdiff_t>(taken)});
    const auto lastPlace = all.begin() + static_cast<std::ptrdiff_t>(taken);
    if (neverSeen + keep > lastPlace) {
        std::rotate(lastPlace - keep, neverSeen, neverSeen + keep);
    }
    std::vector<int> chosen;
    chosen.reserve(taken);
    for (std::size_t i = 0; i < taken; ++i) {
        chosen.push_back(all[i].row);
    }
    std::shuffle(chosen.begin(), chosen.end(), random);
    return chosen;
}

}  // namespace exercise
