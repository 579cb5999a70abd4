// Opens the log for a tally that reads it itself, and makes sure that the handle is released
// and the caller told, however the scan ends.
#pragma once

#include <string>

#include "quorvane/log_line_scanner.h"

namespace quorvane::detail {

class ScanSession {
public:
    ScanSession(LogLineScanner& log, const std::string& path, const ScanHooks& hooks)
        : log_(log), hooks_(hooks) {
        log_.Open(path);
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
