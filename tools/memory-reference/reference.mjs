// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the memory states that a second, independent implementation of the model gives for a
// set of answer histories, as a table that tests/tst_memorymodel.cpp compares ours with.
// Run by hand (see make-reference.sh); the test command never needs npm.
import { fsrs, default_w } from 'ts-fsrs'

// Each history is a list of [days since the previous answer, grade]; grades are
// 1 Again, 2 Hard, 3 Good, 4 Easy. The first answer's days are not used.
const histories = {
  'giusta sempre': [[0, 3], [1, 3], [3, 3], [8, 3], [21, 3], [55, 3]],
  'sbagliata sempre': [[0, 1], [1, 1], [2, 1], [4, 1], [7, 1]],
  'sbagliata poi giusta': [[0, 1], [1, 3], [2, 3], [6, 3], [15, 3]],
  'dimenticata dopo mesi': [[0, 3], [2, 3], [10, 3], [120, 1], [1, 3], [5, 3]],
  'stesso giorno': [[0, 3], [0, 3], [0, 1], [0, 3], [1, 3], [0, 1]],
  'tutti i voti': [[0, 4], [4, 2], [3, 3], [9, 4], [30, 1], [2, 2]],
  'prima Hard': [[0, 2], [1, 2], [2, 1], [1, 4]],
  'pausa lunga': [[0, 3], [365, 3], [730, 1], [1, 3]],
  'oscillante': [[0, 3], [1, 1], [1, 3], [1, 1], [1, 3], [1, 1], [1, 3], [1, 1]],
  'ripasso quotidiano': Array.from({ length: 20 }, (_, i) => [i === 0 ? 0 : 1, i % 5 === 4 ? 1 : 3]),
}
// The days after the last answer at which the chance of recall is also compared.
const later = [0, 1, 7, 30, 365]

const scheduler = fsrs({ w: default_w, enable_fuzz: false, enable_short_term: true })
const lines = ['# storia\tpasso\tgiorni\tvoto\tdifficolta\tstabilita\t' +
               later.map(t => `ricordo+${t}`).join('\t')]
for (const [name, steps] of Object.entries(histories)) {
  let state = null
  steps.forEach(([days, grade], i) => {
    state = scheduler.next_state(state, i === 0 ? 0 : days, grade)
    const recall = later.map(t => scheduler.forgetting_curve(t, state.stability).toFixed(10))
    lines.push([name, i + 1, days, grade, state.difficulty.toFixed(10),
                state.stability.toFixed(10), ...recall].join('\t'))
  })
}
// The default weights the states were made with, so that a change of them is seen.
lines.push(`# pesi\t${default_w.join('\t')}`)
console.log(lines.join('\n'))
