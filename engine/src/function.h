#pragma once
// Small polymorphic callables: a member function of some T bound to an object,
// or a free function, with optional stored arguments. Holders (jobs, binders,
// UI commands) keep an IFunction* without knowing T.
#include <cstddef>
#include <tuple>
#include <utility>

namespace KR {

class IFunction {
 public:
  virtual ~IFunction() = default;
  // Calls the target with default arguments (0, 0.0, false, null, "").
  virtual void invoke() = 0;
  // Calls the target with the stored arguments.
  virtual void invokeStored() { invoke(); }
};

// Stands in for T when the target is a free function.
class Dummy {};

// A member of T without arguments, or a free function; member wins when both
// it and the object are set; nothing happens when neither target is set.
template <typename T>
class Function : public IFunction {
 public:
  using Member = void (T::*)();
  using Plain = void (*)();

  Function() = default;
  Function(T* object_, Member member_) : object(object_), member(member_) {}
  explicit Function(Plain plain_) : plain(plain_) {}

  void invoke() override {
    if (object && member) {
      (object->*member)();
    } else if (plain) {
      plain();
    }
  }

  T* object = nullptr;
  Member member = nullptr;
  Plain plain = nullptr;
};

// Shared body of Function1..Function4.
template <typename T, typename... A>
class FunctionWithArgs : public IFunction {
 public:
  using Member = void (T::*)(A...);
  using Plain = void (*)(A...);
  using Arguments = std::tuple<A...>;

  FunctionWithArgs() = default;
  FunctionWithArgs(T* object_, Member member_, A... stored) : object(object_), member(member_), arguments(stored...) {}
  explicit FunctionWithArgs(Plain plain_, A... stored) : plain(plain_), arguments(stored...) {}
  FunctionWithArgs(T* object_, Member member_) : object(object_), member(member_) {}
  explicit FunctionWithArgs(Plain plain_) : plain(plain_) {}

  void invoke() override { callWith(Arguments()); }
  void invokeStored() override { callWith(arguments); }

  // Calls the target with the given arguments.
  void call(A... values) { callWith(Arguments(values...)); }

  T* object = nullptr;
  Member member = nullptr;
  Plain plain = nullptr;
  Arguments arguments{};

 private:
  void callWith(const Arguments& values) { dispatch(values, std::index_sequence_for<A...>()); }
  template <std::size_t... I>
  void dispatch(const Arguments& values, std::index_sequence<I...>) {
    if (object && member) {
      (object->*member)(std::get<I>(values)...);
    } else if (plain) {
      plain(std::get<I>(values)...);
    }
  }
};

template <typename A1, typename T>
class Function1 : public FunctionWithArgs<T, A1> {
 public:
  using FunctionWithArgs<T, A1>::FunctionWithArgs;
};

template <typename A1, typename A2, typename T>
class Function2 : public FunctionWithArgs<T, A1, A2> {
 public:
  using FunctionWithArgs<T, A1, A2>::FunctionWithArgs;
};

template <typename A1, typename A2, typename A3, typename T>
class Function3 : public FunctionWithArgs<T, A1, A2, A3> {
 public:
  using FunctionWithArgs<T, A1, A2, A3>::FunctionWithArgs;
};

template <typename A1, typename A2, typename A3, typename A4, typename T>
class Function4 : public FunctionWithArgs<T, A1, A2, A3, A4> {
 public:
  using FunctionWithArgs<T, A1, A2, A3, A4>::FunctionWithArgs;
};

}  // namespace KR
