#include "platform/runtime_failure.h"

#include <new>
#include <stdexcept>

namespace platform {

std::string StandardDescription(long number) {
    switch (number) {
    case kErrInvalidArgument: return "Invalid procedure call or argument";
    case kErrOverflow: return "Overflow";
    case kErrOutOfMemory: return "Out of memory";
    case kErrSubscriptRange: return "Subscript out of range";
    case kErrTypeMismatch: return "Type mismatch";
    case kErrOutOfStringSpace: return "Out of string space";
    case kErrInternal: return "Internal error";
    case kErrCantCreateObject: return "ActiveX component can't create object";
    case kErrNoSuchMethod: return "Object doesn't support this property or method";
    case kErrAutomation: return "Automation error";
    case kErrArgNotOptional: return "Argument not optional";
    case kErrWrongArgCount: return "Wrong number of arguments or invalid property assignment";
    default: return "";
    }
}

RuntimeFailure::RuntimeFailure(long number) : RuntimeFailure(number, StandardDescription(number)) {}

RuntimeFailure FailureInFlight() {
    try {
        throw;
    } catch (const RuntimeFailure& failure) {
        return failure;
    } catch (const std::bad_alloc&) {
        return RuntimeFailure(kErrOutOfMemory);
    } catch (const std::length_error&) {
        return RuntimeFailure(kErrOutOfStringSpace);
    } catch (const std::out_of_range&) {
        return RuntimeFailure(kErrSubscriptRange);
    } catch (const std::invalid_argument&) {
        return RuntimeFailure(kErrInvalidArgument);
    } catch (const std::domain_error&) {
        return RuntimeFailure(kErrInvalidArgument);
    } catch (const std::overflow_error&) {
        return RuntimeFailure(kErrOverflow);
    } catch (...) {
        return RuntimeFailure(kErrInternal);
    }
}

}  // namespace platform
