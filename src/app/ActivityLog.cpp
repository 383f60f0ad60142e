#include "app/ActivityLog.h"

#include "util/Log.h"

namespace vorlane {

void ActivityLog::LogMessage(const std::string& text) const
{
    if (settings_.LogToFile)
        AppendToLogFile(EscapeLogText(text), true, LogFileName);
}

} // namespace vorlane
