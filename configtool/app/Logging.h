#pragma once

#include <QLoggingCategory>

// The tool's one logging category; debug lines are on by default.
Q_DECLARE_LOGGING_CATEGORY(lcConfigtool)
