#include "fakes/fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace fakes {
namespace {

constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;

// Registry names compare without regard to case.
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool PredefinedRoot(std::uint32_t root) { return root >= 0x80000000u && root <= 0x80000006u; }

}  // namespace

std::string FakeRegistry::KeyId(std::uint32_t root, const std::string& path) {
    std::string id = std::to_string(root);
    if (!path.empty()) id += "\\" + Lower(path);
    return id;
}

void FakeRegistry::CreateKey(std::uint32_t root, const std::string& path) {
    // Creating a key creates its parents, as RegCreateKeyEx does.
    std::string::size_type at = 0;
    while ((at = path.find('\\', at)) != std::string::npos)
        keys_[KeyId(root, path.substr(0, at++))];
    keys_[KeyId(root, path)];
}

bool FakeRegistry::KeyExists(std::uint32_t root, const std::string& path) const {
    return path.empty() || keys_.count(KeyId(root, path)) > 0;
}

void FakeRegistry::PutString(std::uint32_t root, const std::string& path, const std::string& name,
                             const std::string& text) {
    PutRaw(root, path, name, platform::kRegSz, text + '\0');
}

void FakeRegistry::PutRaw(std::uint32_t root, const std::string& path, const std::string& name,
                          std::uint32_t type, const std::string& bytes, bool exact) {
    CreateKey(root, path);
    keys_[KeyId(root, path)][Lower(name)] = Value{type, bytes, exact};
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(std::uint32_t root, const std::string& path,
                                                     const std::string& name) const {
    const auto key = keys_.find(KeyId(root, path));
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.find(Lower(name));
    if (value == key->second.end()) return std::nullopt;
    return value->second;
}

void FakeRegistry::FailOn(Op op, const std::string& where, long status) {
    faults_[{op, Lower(where)}] = Fault{status, nullptr};
}

void FakeRegistry::RaiseOn(Op op, const std::string& where, std::exception_ptr failure) {
    faults_[{op, Lower(where)}] = Fault{platform::kSuccess, std::move(failure)};
}

long FakeRegistry::Enter(Op op, const std::string& subKey, const std::string& name) {
    ++calls_;
    const std::string key = Lower(subKey);
    const std::vector<std::string> places =
        name.empty() ? std::vector<std::string>{key, kAny}
                     : std::vector<std::string>{key + "\\" + Lower(name), Lower(name), kAny};
    for (const std::string& where : places) {
        const auto fault = faults_.find({op, where});
        if (fault == faults_.end()) continue;
        const Fault fired = fault->second;
        faults_.erase(fault);
        if (fired.failure) std::rethrow_exception(fired.failure);
        return fired.status;
    }
    return platform::kSuccess;
}

std::string FakeRegistry::SubKeyOf(platform::KeyHandle key) const {
    const auto open = open_.find(key);
    return open == open_.end() ? std::string() : open->second.subKey;
}

long FakeRegistry::OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t access,
                           platform::KeyHandle* key) {
    access_.push_back(access);
    if (long status = Enter(Op::Open, subKey)) return status;
    if (!PredefinedRoot(root)) return platform::kInvalidHandle;
    if (!KeyExists(root, subKey)) return platform::kFileNotFound;
    *key = nextHandle_++;
    open_[*key] = OpenKeyState{KeyId(root, subKey), subKey, access};
    return platform::kSuccess;
}

long FakeRegistry::QueryValue(platform::KeyHandle key, const std::string& name, std::uint32_t* type,
                              char* data, std::uint32_t* size, bool* exact) {
    values_.push_back("query " + name);
    *exact = true;
    const auto open = open_.find(key);
    if (long status = Enter(Op::Query, SubKeyOf(key), name)) return status;
    if (open == open_.end()) return platform::kInvalidHandle;
    if (!(open->second.access & kKeyQueryValue)) return platform::kAccessDenied;
    // A root key opened itself has no entry: reading must not make one.
    const auto values = keys_.find(open->second.path);
    if (values == keys_.end()) return platform::kFileNotFound;
    const auto value = values->second.find(Lower(name));
    if (value == values->second.end()) return platform::kFileNotFound;
    const auto needed = static_cast<std::uint32_t>(value->second.bytes.size());
    *type = value->second.type;
    *exact = value->second.exact;
    if (needed > *size) {
        *size = needed;
        return platform::kMoreData;
    }
    std::memcpy(data, value->second.bytes.data(), needed);
    *size = needed;
    return platform::kSuccess;
}

long FakeRegistry::SetValue(platform::KeyHandle key, const std::string& name, std::uint32_t type,
                            const char* data, std::uint32_t size) {
    values_.push_back("set " + name);
    const auto open = open_.find(key);
    if (long status = Enter(Op::Set, SubKeyOf(key), name)) return status;
    if (open == open_.end()) return platform::kInvalidHandle;
    if (!(open->second.access & kKeySetValue)) return platform::kAccessDenied;
    // Stores exactly the bytes given: no terminator is added.
    keys_[open->second.path][Lower(name)] = Value{type, std::string(data, size)};
    return platform::kSuccess;
}

long FakeRegistry::CloseKey(platform::KeyHandle key) {
    // A raised failure leaves the key open; a failing status, as on Windows,
    // still releases the handle.
    const long injected = Enter(Op::Close, SubKeyOf(key));
    const bool known = open_.erase(key) > 0;
    if (injected) return injected;
    return known ? platform::kSuccess : platform::kInvalidHandle;
}

}  // namespace fakes
