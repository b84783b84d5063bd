#pragma once
// The log call formats its text and hands it to the log system's writers.
// The engine itself registers no writer, so by default nothing is written;
// the host adds a stderr writer on request and tests add a capturing one.
//
// Two kinds of lines: `log` for warnings, errors and what a content author
// needs (which file failed, what was refused), always written; `logVerbose`
// for the trace a developer follows (each texture destroyed, each extension
// made, a script's print), written only while the system is verbose.
#include <pthread.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "singleton.h"

namespace KR {

class LogWriter {
 public:
  virtual ~LogWriter() = default;
  virtual void write(const std::string& text) = 0;
};

class LogSystem : public Singleton<LogSystem> {
 public:
  LogSystem();
  ~LogSystem() override;

  // Takes ownership. Writers are called under the log lock, in the order added.
  void addWriter(std::unique_ptr<LogWriter> writer);
  // Removes and destroys a writer added earlier; returns false when it is unknown.
  bool removeWriter(LogWriter* writer);
  void write(const std::string& text);

  // Whether logVerbose lines are written; off at first.
  void setVerbose(bool on) { verbose = on; }
  bool isVerbose() const { return verbose; }

 private:
  std::vector<std::unique_ptr<LogWriter>> writers;
  pthread_mutex_t lock;
  bool lockInitialised = false;
  std::atomic<bool> verbose{false};
};

// Writes each message as a line to stderr.
class StderrLogWriter : public LogWriter {
 public:
  void write(const std::string& text) override;
};

// The log call: format, check that the log system exists (fatal when it does
// not), pass the text to the writers.
void log(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A trace line: formatted and written only when a log system exists and is verbose.
void logVerbose(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace KR
