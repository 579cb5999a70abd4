// How the windows run a scan of the log on the one GUI thread: the busy notice while the log is
// held, the window events served while it is read, the commands told when the log handle is
// taken and given back, and a stop once the program is ending.
#pragma once

#include <QPointer>
#include <chrono>
#include <functional>
#include <string>

#include "quorvane/log_line_scanner.h"

class Form6;

class ScanMonitor {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // While a scan runs, pending window events are processed whenever this much scanning time
    // has passed since they were last processed. The scan offers to yield once per block read.
    static constexpr std::chrono::milliseconds kYieldInterval{10};

    // `commandsChanged` runs whenever a scan has taken or given back the log handle. An empty
    // clock is steady_clock.
    ScanMonitor(Clock clock, std::function<void()> commandsChanged);
    ~ScanMonitor();
    ScanMonitor(const ScanMonitor&) = delete;
    ScanMonitor& operator=(const ScanMonitor&) = delete;

    // One scan of a log that the caller reads itself: opens the log, then shows the busy notice;
    // as the scope ends, however it ends, closes the log, then the notice.
    class Scope {
      public:
        Scope(ScanMonitor& monitor, quorvane::LogLineScanner& log, const std::string& path);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        ScanMonitor& monitor_;
        quorvane::LogLineScanner& log_;
    };

    // The same for a tally that opens and closes the log itself.
    quorvane::ScanHooks Hooks();

    // The yield hook of every scan; false once the program is ending.
    bool Yield();

    // The program is ending: a running scan stops at its next yield.
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }

    // Closes the busy notice, if it is shown, as the program ends.
    void CloseNotice();

  private:
    void Started();
    void Finished();

    Clock clock_;
    std::function<void()> commandsChanged_;
    std::chrono::steady_clock::time_point lastYield_{};
    QPointer<Form6> form6_;
    bool stopped_ = false;
};
