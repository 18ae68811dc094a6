// A run-time failure: an error raised while a procedure runs, carrying the
// platform's run-time error number and its description. It travels up as a
// C++ exception until a procedure that traps failures catches it.
#pragma once

#include <exception>
#include <string>

namespace platform {

// The run-time error numbers this program raises or maps to.
constexpr long kErrInvalidArgument = 5;     // "Invalid procedure call or argument"
constexpr long kErrOverflow = 6;            // "Overflow"
constexpr long kErrOutOfMemory = 7;         // "Out of memory"
constexpr long kErrSubscriptRange = 9;      // "Subscript out of range"
constexpr long kErrTypeMismatch = 13;       // "Type mismatch"
constexpr long kErrOutOfStringSpace = 14;   // "Out of string space"
constexpr long kErrInternal = 51;           // "Internal error"
constexpr long kErrCantCreateObject = 429;  // "ActiveX component can't create object"
constexpr long kErrNoSuchMethod = 438;      // "Object doesn't support this property or method"
constexpr long kErrAutomation = 440;        // "Automation error"
constexpr long kErrArgNotOptional = 449;    // "Argument not optional"
constexpr long kErrWrongArgCount =
    450;  // "Wrong number of arguments or invalid property assignment"

class RuntimeFailure : public std::exception {
public:
    RuntimeFailure(long number, std::string description)
        : number_(number), description_(std::move(description)) {}
    // A failure with the platform's usual description for `number`.
    explicit RuntimeFailure(long number);

    long number() const { return number_; }
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    long number_;
    std::string description_;
};

// The platform's description for a run-time error number ("" when unknown).
std::string StandardDescription(long number);

// Turns the exception being handled into a RuntimeFailure: a RuntimeFailure
// as it is, standard exceptions by their usual numbers (std::bad_alloc is 7,
// "Out of memory"), anything else as 51, "Internal error". Call only inside
// a catch block.
RuntimeFailure FailureInFlight();

}  // namespace platform
