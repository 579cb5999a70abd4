// Typed errors of the tallies. The core only raises them; the windows and the report tool
// decide how to show them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "quorvane/message_text.h"

namespace quorvane {

class TallyError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Something went wrong with the log file itself; carries the path and the system's reason.
// The message is one line whatever the path holds.
class LogError : public TallyError {
  public:
    LogError(std::string verb, std::string path, std::string reason)
        : TallyError(verb + " '" + EscapeForMessage(path) + "': " + reason),
          path_(std::move(path)),
          reason_(std::move(reason)) {}
    const std::string& path() const noexcept { return path_; }
    const std::string& reason() const noexcept { return reason_; }

  private:
    std::string path_;
    std::string reason_;
};

class LogOpenError : public LogError {
  public:
    LogOpenError(std::string path, std::string reason)
        : LogError("cannot open", std::move(path), std::move(reason)) {}
};

// The program's single log handle is held by another scan.
class LogBusyError : public LogOpenError {
  public:
    explicit LogBusyError(std::string path)
        : LogOpenError(std::move(path), "another log is being read") {}
};

class LogReadError : public LogError {
  public:
    LogReadError(std::string path, std::string reason)
        : LogError("cannot read", std::move(path), std::move(reason)) {}
};

// A counter or a sum would pass 2,147,483,647.
class CounterOverflow : public TallyError {
  public:
    explicit CounterOverflow(std::string counter)
        : TallyError("counter " + counter + " would pass 2147483647"),
          counter_(std::move(counter)) {}
    const std::string& counter() const noexcept { return counter_; }

  private:
    std::string counter_;
};

// The sentence that the windows and the web page show for an error that ended a count of the
// log `file`, on one line whatever the name holds: Cannot open "log.adi": No such file or
// directory.
std::string ErrorSentence(const TallyError& error, std::string_view file);

}  // namespace quorvane
