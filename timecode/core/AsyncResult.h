#pragma once

#include <exception>
#include <functional>
#include <utility>
#include <variant>

namespace timecode {

// The outcome of an asynchronous operation of the library: the value, or the exception it
// failed with. value() answers the value or rethrows the failure.
//
// Asynchronous operations of the library report through a completion handler that takes one
// AsyncResult: the operation calls it exactly once, when its work is done, on whatever thread
// finished that work (possibly before the call that started it returns). The library itself
// starts no threads; a caller that wants to wait blocks on a std::promise it fulfils in the
// handler, a Qt caller posts the result to its event loop. The changing forms (Timecode::set
// and the like) write the value they were called on just before they report; Timecode.h says
// what they ask of the caller meanwhile.
template <typename T> class AsyncResult {
public:
    static AsyncResult success(T value) { return AsyncResult(std::move(value)); }
    static AsyncResult failure(std::exception_ptr error) { return AsyncResult(std::move(error)); }
    // The result of calling the function: its value, or what it threw.
    template <typename Function> static AsyncResult of(Function &&function) {
        try {
            return success(std::forward<Function>(function)());
        } catch (...) {
            return failure(std::current_exception());
        }
    }

    bool hasValue() const { return storage_.index() == 0; }
    const T &value() const {
        if (const auto *error = std::get_if<std::exception_ptr>(&storage_)) {
            std::rethrow_exception(*error);
        }
        return std::get<T>(storage_);
    }
    std::exception_ptr error() const {
        const auto *error = std::get_if<std::exception_ptr>(&storage_);
        return error ? *error : nullptr;
    }

private:
    explicit AsyncResult(T value) : storage_(std::in_place_index<0>, std::move(value)) {}
    explicit AsyncResult(std::exception_ptr error)
        : storage_(std::in_place_index<1>, std::move(error)) {}

    std::variant<T, std::exception_ptr> storage_;
};

// The outcome of an operation that answers nothing but whether it succeeded (the changing
// forms, which store their result in the value they were called on).
template <> class AsyncResult<void> {
public:
    static AsyncResult success() { return AsyncResult(nullptr); }
    static AsyncResult failure(std::exception_ptr error) { return AsyncResult(std::move(error)); }
    template <typename Function> static AsyncResult of(Function &&function) {
        try {
            std::forward<Function>(function)();
            return success();
        } catch (...) {
            return failure(std::current_exception());
        }
    }

    bool hasValue() const { return !error_; }
    // Rethrows the failure; returns for a success.
    void value() const {
        if (error_) {
            std::rethrow_exception(error_);
        }
    }
    std::exception_ptr error() const { return error_; }

private:
    explicit AsyncResult(std::exception_ptr error) : error_(std::move(error)) {}

    std::exception_ptr error_;
};

template <typename T> using Completion = std::function<void(AsyncResult<T>)>;

} // namespace timecode
