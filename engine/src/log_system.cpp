#include "log_system.h"

#include <cstdarg>
#include <cstdio>

#include "format_string.h"

namespace KR {

LogSystem::LogSystem() {
  pthread_mutex_init(&lock, nullptr);
  lockInitialised = true;
  pthread_mutex_lock(&lock);
  pthread_mutex_unlock(&lock);
  setInstance(this);
}

LogSystem::~LogSystem() {
  pthread_mutex_lock(&lock);
  writers.clear();
  pthread_mutex_unlock(&lock);
  pthread_mutex_destroy(&lock);
  lockInitialised = false;
}

void LogSystem::addWriter(std::unique_ptr<LogWriter> writer) {
  pthread_mutex_lock(&lock);
  writers.push_back(std::move(writer));
  pthread_mutex_unlock(&lock);
}

bool LogSystem::removeWriter(LogWriter* writer) {
  bool found = false;
  pthread_mutex_lock(&lock);
  for (auto it = writers.begin(); it != writers.end(); ++it) {
    if (it->get() == writer) {
      writers.erase(it);
      found = true;
      break;
    }
  }
  pthread_mutex_unlock(&lock);
  return found;
}

void LogSystem::write(const std::string& text) {
  pthread_mutex_lock(&lock);
  for (auto& writer : writers) writer->write(text);
  pthread_mutex_unlock(&lock);
}

void StderrLogWriter::write(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

void log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatStringV(format, args);
  va_end(args);
  LogSystem::getInstance()->write(text);
}

void logVerbose(const char* format, ...) {
  LogSystem* system = LogSystem::getInstancePtr();
  if (!system || !system->isVerbose()) return;
  va_list args;
  va_start(args, format);
  std::string text = formatStringV(format, args);
  va_end(args);
  system->write(text);
}

}  // namespace KR
