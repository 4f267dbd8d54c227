// Success, or the message that refuses an operation. Operations of the core
// return these instead of throwing; the programs show the message in their
// own boxes.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace quillon {

// Success, or the message (UTF-8) that refuses an operation, with the
// location code the program shows beside it (0 when it has none).
struct Status {
    bool ok = true;
    std::string message;
    int code = 0;
    // The machine stopped answering: after the message the program ends.
    bool linkLost = false;
    // The user stopped the operation: there is no message to show.
    bool cancelled = false;

    static Status success() { return {}; }
    static Status failure(std::string text, int code = 0) { return {false, std::move(text), code}; }
    static Status lostLink(std::string text, int code = 0) { return {false, std::move(text), code, true}; }
    static Status cancelledByUser() { return {false, {}, 0, false, true}; }
    explicit operator bool() const { return ok; }
};

// A value, or the message that refuses to make it.
template <class T>
struct Built {
    std::optional<T> value;
    std::string message; // UTF-8, when there is no value
    int code = 0;        // location code shown with the message, 0 when none
    bool cancelled = false; // the user stopped it: no value and no message

    bool ok() const { return value.has_value(); }
    explicit operator bool() const { return ok(); }
    T& operator*() { return *value; }
    const T& operator*() const { return *value; }
    T* operator->() { return &*value; }
    const T* operator->() const { return &*value; }

    static Built of(T made) {
        Built built;
        built.value = std::move(made);
        return built;
    }
    static Built refused(std::string text, int code = 0) {
        Built built;
        built.message = std::move(text);
        built.code = code;
        return built;
    }
    static Built cancelledByUser() {
        Built built;
        built.cancelled = true;
        return built;
    }
    // The refusal as a status, for callers that only pass it on.
    Status status() const {
        if (ok()) return Status::success();
        return cancelled ? Status::cancelledByUser() : Status::failure(message, code);
    }
};

} // namespace quillon
