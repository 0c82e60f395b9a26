# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the widget probe afresh (an object left by an earlier build would say nothing) and
# passes only when the core's widget guard stopped it.
# cmake -DOBJECT=... -DBUILD_DIR=... -P widgetprobe.cmake
file(REMOVE ${OBJECT})
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target layers_widget_probe
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
if(result EQUAL 0)
    message(FATAL_ERROR "A core source reached Qt Widgets and compiled:\n${output}")
endif()
if(NOT output MATCHES "The core \\(src/core\\) never uses Qt Widgets")
    message(FATAL_ERROR "The probe failed, but not at the core's widget guard:\n${output}")
endif()
message(STATUS "The core's widget guard stopped the probe")
