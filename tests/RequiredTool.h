// A program a test runs (ffprobe, ...): found on the PATH, or the test is
// skipped, except where CI is set, where a missing tool fails the test.
#pragma once

#include <QStandardPaths>
#include <QString>
#include <QtGlobal>

#include <gtest/gtest.h>

#define REQUIRE_TOOL(pathVar, toolName)                                              \
    const QString pathVar = QStandardPaths::findExecutable(QStringLiteral(toolName)); \
    if (pathVar.isEmpty()) {                                                         \
        if (!qEnvironmentVariableIsEmpty("CI")) {                                    \
            FAIL() << toolName " is not on the PATH";                                \
        }                                                                            \
        GTEST_SKIP() << toolName " is not on the PATH";                              \
    }
