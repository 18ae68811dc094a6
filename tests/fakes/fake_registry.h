// An in-memory registry that answers like the Win32 ANSI calls: status
// codes, the size in and out, ERROR_MORE_DATA when the room is too small,
// values of any type stored as bytes. A value can be marked as one whose
// text the code page does not hold exactly: its bytes then stand for what
// the conversion gave, and queries say it was not exact. It counts calls and open keys, and
// can make the calls of one operation on one key or value return a status
// or raise a failure.
#pragma once

#include <exception>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/runtime_failure.h"

namespace fakes {

class FakeRegistry : public platform::Registry {
public:
    struct Value {
        std::uint32_t type = platform::kRegSz;
        std::string bytes;
        bool exact = true;
        bool operator==(const Value& o) const {
            return type == o.type && bytes == o.bytes && exact == o.exact;
        }
    };
    using Key = std::map<std::string, Value>;  // by lower-case value name

    // Setting up and inspecting the store (no call is counted).
    void CreateKey(std::uint32_t root, const std::string& path);
    bool KeyExists(std::uint32_t root, const std::string& path) const;
    // Stores `text` with its terminator, as a Win32 program would.
    void PutString(std::uint32_t root, const std::string& path, const std::string& name,
                   const std::string& text);
    void PutRaw(std::uint32_t root, const std::string& path, const std::string& name,
                std::uint32_t type, const std::string& bytes, bool exact = true);
    std::optional<Value> Get(std::uint32_t root, const std::string& path,
                             const std::string& name) const;

    // Fault injection: the next call of `op` on `where` returns `status`,
    // or raises `failure`; later calls go through. `where` is, for Open and
    // Close, the sub-key path as opened; for Query and Set, the value name,
    // or "sub-key path\\value name" for that value of that key alone; kAny
    // is any call of the operation. Names compare without case.
    enum class Op { Open, Query, Set, Close };
    static constexpr const char* kAny = "*";
    void FailOn(Op op, const std::string& where, long status);
    void RaiseOn(Op op, const std::string& where, std::exception_ptr failure);
    void RaiseOn(Op op, const std::string& where, const platform::RuntimeFailure& failure) {
        RaiseOn(op, where, std::make_exception_ptr(failure));
    }

    // Every key with its values, by KeyId.
    const std::map<std::string, Key>& keys() const { return keys_; }
    // "root\\lower-case path", the name keys() gives a key by.
    static std::string KeyId(std::uint32_t root, const std::string& path);
    int calls() const { return calls_; }
    int openKeys() const { return static_cast<int>(open_.size()); }
    // The access rights of every OpenKey call, in order.
    const std::vector<std::uint32_t>& accessLog() const { return access_; }
    // Every query and set, in order: "query NAME" or "set NAME".
    const std::vector<std::string>& valueLog() const { return values_; }

    long OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t access,
                 platform::KeyHandle* key) override;
    long QueryValue(platform::KeyHandle key, const std::string& name, std::uint32_t* type,
                    char* data, std::uint32_t* size, bool* exact) override;
    long SetValue(platform::KeyHandle key, const std::string& name, std::uint32_t type,
                  const char* data, std::uint32_t size) override;
    long CloseKey(platform::KeyHandle key) override;

private:
    struct OpenKeyState {
        std::string path;    // root and lower-case sub-key, the map's key
        std::string subKey;  // as opened
        std::uint32_t access;
    };
    struct Fault {
        long status = platform::kSuccess;
        std::exception_ptr failure;
    };
    std::string SubKeyOf(platform::KeyHandle key) const;
    // Counts the call; returns the status injected for `op` on the sub-key
    // (and value), or raises, or 0.
    long Enter(Op op, const std::string& subKey, const std::string& name = {});

    std::map<std::string, Key> keys_;
    std::map<platform::KeyHandle, OpenKeyState> open_;
    platform::KeyHandle nextHandle_ = 0x100;
    int calls_ = 0;
    std::map<std::pair<Op, std::string>, Fault> faults_;  // by op and lower-case `where`
    std::vector<std::uint32_t> access_;
    std::vector<std::string> values_;
};

}  // namespace fakes
