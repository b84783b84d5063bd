#pragma once
// Handlers bound under a name, called by UI event commands and scripts.
// Registration, removal and lookup happen on the main thread only.
#include <map>
#include <string>
#include <vector>

#include "function.h"
#include "singleton.h"

namespace KR {

class ILexBinder {
 public:
  // Takes ownership of the function.
  explicit ILexBinder(IFunction* function_) : function(function_) {}
  virtual ~ILexBinder() { delete function; }
  ILexBinder(const ILexBinder&) = delete;
  ILexBinder& operator=(const ILexBinder&) = delete;

  virtual void invoke() = 0;
  // A new binder of the same kind with the command's arguments bound; owned by
  // the caller.
  virtual ILexBinder* clone(const std::vector<std::string>& arguments) const = 0;

  IFunction* getFunction() const { return function; }

 protected:
  IFunction* function;
};

// A member of T without arguments; clone ignores the arguments.
template <typename T>
class LexBinder : public ILexBinder {
 public:
  explicit LexBinder(Function<T>* f) : ILexBinder(f) {}
  LexBinder(T* object, typename Function<T>::Member member) : ILexBinder(new Function<T>(object, member)) {}

  void invoke() override {
    if (auto* f = dynamic_cast<Function<T>*>(function)) f->invoke();
  }

  ILexBinder* clone(const std::vector<std::string>&) const override {
    auto* source = static_cast<Function<T>*>(function);
    auto* copy = new Function<T>();
    copy->object = source->object;
    copy->member = source->member;
    copy->plain = source->plain;
    return new LexBinder<T>(copy);
  }
};

// A member of T taking one argument A (the engine uses std::string); clone
// binds the first command argument, or an empty one.
template <typename A, typename T>
class LexBinder1 : public ILexBinder {
 public:
  explicit LexBinder1(Function1<A, T>* f, A argument_ = A()) : ILexBinder(f), argument(argument_) {}
  LexBinder1(T* object, typename Function1<A, T>::Member member, A argument_ = A())
      : ILexBinder(new Function1<A, T>(object, member)), argument(argument_) {}

  void invoke() override { call(); }

  void call() {
    auto* f = dynamic_cast<Function1<A, T>*>(function);
    if (f) f->call(A(argument));
  }

  ILexBinder* clone(const std::vector<std::string>& arguments) const override {
    auto* source = static_cast<Function1<A, T>*>(function);
    auto* copy = new Function1<A, T>();
    copy->object = source->object;
    copy->member = source->member;
    copy->plain = source->plain;
    return new LexBinder1<A, T>(copy, arguments.empty() ? A() : A(arguments.front()));
  }

  const A& getArgument() const { return argument; }

 private:
  A argument;
};

// The function object a widget holds for its command: owns a binder cloned
// from the manager (with the command's arguments) and calls it when fired.
class LexBindedFunction : public IFunction {
 public:
  // Takes ownership of the binder (null does nothing when invoked).
  explicit LexBindedFunction(ILexBinder* binder_) : binder(binder_) {}
  ~LexBindedFunction() override { delete binder; }
  LexBindedFunction(const LexBindedFunction&) = delete;
  LexBindedFunction& operator=(const LexBindedFunction&) = delete;

  void invoke() override {
    if (binder) binder->invoke();
  }
  ILexBinder* getBinder() const { return binder; }

 private:
  ILexBinder* binder;
};

class LexBindedFunctionManager : public Singleton<LexBindedFunctionManager> {
 public:
  LexBindedFunctionManager();
  ~LexBindedFunctionManager() override;

  // Takes the binder over; when the name is already registered the first
  // registration stays and this binder is deleted at once.
  void registerFunction(const std::string& name, ILexBinder* binder);
  // Deletes the binder of the name; nothing when the name is unknown.
  void unregisterFunction(const std::string& name);
  // The binder of the name, or null; still owned by the manager.
  ILexBinder* findFunction(const std::string& name) const;
  // A clone of the named binder with the arguments bound, owned by the
  // caller; null when the name is unknown.
  ILexBinder* cloneFunction(const std::string& name, const std::vector<std::string>& arguments) const;
  // That clone wrapped in the function object a widget keeps for its command;
  // null when the name is unknown.
  LexBindedFunction* makeCommand(const std::string& name, const std::vector<std::string>& arguments) const;

 private:
  std::map<std::string, ILexBinder*> functions;
};

}  // namespace KR
