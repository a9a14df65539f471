// Exceptions and the run-time's string, conversion and file routines.
#pragma once

#include <exception>
#include <string>

// Root of every error the programs raise; carries the message shown to the user.
class Exception : public std::exception {
public:
    explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
    ~Exception() override = default;
    const std::string& Message() const { return FMessage; }
    void SetMessage(const std::string& Value) { FMessage = Value; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// Raised to leave a handler silently: the application object drops it.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

// Leaves the current handler without a message.
[[noreturn]] void Abort();
