// Work items: heap objects handed to the dispatcher, a timer or a
// RunableThread, which own them from then on and call release() exactly once.
//
//   owner_.post(new FunctionRunable([this, text] { showStatus(text); }));
//   thread_.start(new MemberFuncRunable<Model>(this, &Model::_threadDownload));
#pragma once

#include <utility>

class Runable {
public:
    Runable() = default;
    Runable(const Runable&) = delete;
    Runable& operator=(const Runable&) = delete;

    // Deletes the item; the only way holders dispose of it.
    virtual void release() { delete this; }
    virtual ~Runable() = default;
    // Once for a posted item or a thread, on every tick for a timer.
    virtual void run() = 0;
};

// Calls a callable held by value (a lambda with its captures, or a
// std::function, where an empty one throws std::bad_function_call).
template <typename F>
class FunctionRunable : public Runable {
public:
    explicit FunctionRunable(F f) : f_(std::move(f)) {}
    void run() override { f_(); }

private:
    F f_;
};

// Calls a member function taking and returning nothing on an object the
// item does not own.
template <typename T>
class MemberFuncRunable : public Runable {
public:
    using Method = void (T::*)();
    MemberFuncRunable(T* object, Method method) : object_(object), method_(method) {}
    void run() override { (object_->*method_)(); }

private:
    T* object_;
    Method method_;
};
