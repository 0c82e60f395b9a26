# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Read by ctest as it runs: sets the time limit of each test in tempolario_limits
# ("name=seconds" items) again, multiplied by TEMPOLARIO_TEST_SLOWDOWN rounded up to a whole
# number; without it, or with 1, the limits stay as given.
if("$ENV{TEMPOLARIO_TEST_SLOWDOWN}" MATCHES "^([0-9]+)(\\.([0-9]*))?$")
    set(factor ${CMAKE_MATCH_1})
    if("${CMAKE_MATCH_3}" MATCHES "[1-9]")
        math(EXPR factor "${factor} + 1")
    endif()
    if(factor GREATER 1)
        foreach(item IN LISTS tempolario_limits)
            string(REPLACE "=" ";" parts "${item}")
            list(GET parts 0 test)
            list(GET parts 1 limit)
            math(EXPR limit "${limit} * ${factor}")
            set_tests_properties(${test} PROPERTIES TIMEOUT ${limit})
        endforeach()
    endif()
endif()
