#pragma once

#include "config/Settings.h"

#include <string>

namespace vorlane {

// The program's activity log: every part writes through LogMessage, which obeys the LogToFile
// setting as it stands at that moment (so a settings load obeys the value it has just read).
class ActivityLog
{
public:
    ActivityLog(const Settings& settings, std::string logFileName)
        : settings_(settings), LogFileName(std::move(logFileName))
    {}

    // Control bytes in the text are escaped: what a server sends cannot forge log lines.
    void LogMessage(const std::string& text) const;

private:
    const Settings& settings_;
    const std::string LogFileName;
};

} // namespace vorlane
