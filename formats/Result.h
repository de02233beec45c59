#pragma once

#include <optional>
#include <string>
#include <utility>

namespace faceto {

// Why something could not be done, in words for the user ("the file ends inside its frames").
struct Failure {
    std::string reason;
};

// A value, or the reason why there is none. Readers and writers return one instead of throwing.
template <typename T> class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : error_(std::move(failure.reason)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

// Success, or the reason of a failure.
class Status {
public:
    Status() = default;
    Status(Failure failure) : error_(std::move(failure.reason)), failed_(true) {}
    static Status success() { return {}; }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return error_; }

private:
    std::string error_;
    bool failed_ = false;
};

} // namespace faceto
