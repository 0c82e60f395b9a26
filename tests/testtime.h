// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every deadline in the tests is a time that is ample on an idle machine, multiplied by
// TEMPOLARIO_TEST_SLOWDOWN: a number of at least 1 (1 when unset) that the test command
// sets, larger for the sanitizer build and on a busy machine. A test that waits for
// something waits this long at most; none passes or fails by how fast the machine is.

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <climits>

namespace testtime {

inline double factor() {
    static const double value = [] {
        const QByteArray text = qgetenv("TEMPOLARIO_TEST_SLOWDOWN");
        if (text.isEmpty()) {
            return 1.0;
        }
        bool ok = false;
        const double given = text.toDouble(&ok);
        if (!ok || !(given >= 1) || given > 1000) {
            qFatal("TEMPOLARIO_TEST_SLOWDOWN must be a number from 1 to 1000, not %s",
                   text.constData());
        }
        return given;
    }();
    return value;
}

// A deadline of milliseconds on an idle machine, scaled.
inline int ms(int milliseconds) {
    return static_cast<int>(std::min<double>(milliseconds * factor(), INT_MAX));
}

// QtTest ends a test function that runs past five minutes; that limit scales too, set
// before main() so that QtTest reads it. One given in the environment is kept.
inline const bool kWatchdogScaled = [] {
    constexpr int kQtTestFunctionTimeoutMs = 300000;
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) {
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(ms(kQtTestFunctionTimeoutMs)));
    }
    return true;
}();

}  // namespace testtime
