#include "scanmonitor.h"

#include <QCoreApplication>
#include <utility>

#include "form6.h"

ScanMonitor::ScanMonitor(Clock clock, std::function<void()> commandsChanged)
    : clock_(std::move(clock)), commandsChanged_(std::move(commandsChanged)) {
    if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
}

ScanMonitor::~ScanMonitor() { delete form6_.data(); }

ScanMonitor::Scope::Scope(ScanMonitor& monitor, quorvane::LogLineScanner& log,
                          const std::string& path)
    : monitor_(monitor), log_(log) {
    log_.Open(path);
    try {
        monitor_.Started();
    } catch (...) {
        log_.Close();  // the destructor does not run for a scope never made
        throw;
    }
}

ScanMonitor::Scope::~Scope() {
    log_.Close();
    monitor_.Finished();
}

quorvane::ScanHooks ScanMonitor::Hooks() {
    return {[this] { Started(); }, [this] { return Yield(); }, [this] { Finished(); }};
}

void ScanMonitor::Started() {
    commandsChanged_();
    if (!form6_) {
        form6_ = new Form6;
        form6_->setAttribute(Qt::WA_DeleteOnClose);
    }
    form6_->show();
    // Let the notice reach the screen even before a scan that never yields; no command can
    // start meanwhile, as user input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lastYield_ = clock_();
}

// Called by the scans once per block read; a block takes well under a millisecond, so the
// windows are served every kYieldInterval without looking at the clock per line.
bool ScanMonitor::Yield() {
    if (stopped_) return false;
    const auto now = clock_();
    if (now - lastYield_ >= kYieldInterval) {
        lastYield_ = now;
        QCoreApplication::processEvents();
    }
    return !stopped_;
}

void ScanMonitor::Finished() {
    commandsChanged_();
    if (!form6_) return;
    form6_->close();
    delete form6_.data();
}

void ScanMonitor::CloseNotice() {
    if (form6_) form6_->close();
}
