#pragma once

namespace kivo {

class Log;

// "WriteLog" and "LogFile" under the Settings key. The application loads
// them at start and saves them at exit; both are silent on failure.
void load_log_settings(Log& log);
void save_log_settings(const Log& log);

}  // namespace kivo
