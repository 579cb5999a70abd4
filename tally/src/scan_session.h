// Opens the log for a tally that reads it itself, and makes sure that the handle is released
// and the caller told, however the scan ends.
#pragma once

#include <functional>
#include <string>

#include "quorvane/log_line_scanner.h"

namespace quorvane::detail {

class ScanSession {
public:
    // `prepare` runs once the log is open, before the caller is told.
    ScanSession(LogLineScanner& log, const std::string& path, const ScanHooks& hooks,
                const std::function<void()>& prepare = {})
        : log_(log), hooks_(hooks) {
        log_.Open(path);
        if (prepare || hooks_.opened) {
            try {
                if (prepare) prepare();
                if (hooks_.opened) hooks_.opened();
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
