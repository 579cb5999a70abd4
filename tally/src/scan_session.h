// Opens the log for a tally that reads it itself, and makes sure that the handle is released
// and the caller told, however the scan ends.
#pragma once

#include <string>

#include "quorvane/log_line_scanner.h"

namespace quorvane::detail {

class ScanSession {
  public:
    ScanSession(LogLineScanner& log, const std::string& path, const ScanHooks& hooks)
        : ScanSession(log, path, hooks, [] {}) {}
    // `afterOpen` runs once the log is open and before the caller is told: a tally resets
    // itself there, so that a log that cannot be opened leaves it as it was and whoever
    // watches the notice sees it reset.
    template <typename AfterOpen>
    ScanSession(LogLineScanner& log, const std::string& path, const ScanHooks& hooks,
                AfterOpen afterOpen)
        : log_(log), hooks_(hooks) {
        log_.Open(path);
        afterOpen();
        if (hooks_.opened) {
            try {
                hooks_.opened();
            } catch (...) {
                log_.Close();
                throw;
            }
        }
    }
    ~ScanSession() {
        log_.Close();
        if (hooks_.closed) hooks_.closed();
    }
    ScanSession(const ScanSession&) = delete;
    ScanSession& operator=(const ScanSession&) = delete;

  private:
    LogLineScanner& log_;
    const ScanHooks& hooks_;
};

}  // namespace quorvane::detail
