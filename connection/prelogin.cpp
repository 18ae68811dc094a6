#include "connection/prelogin.h"

#include <vector>

namespace connection {
namespace {

constexpr std::uint8_t kPrelogin = 0x12, kTabularResult = 0x04, kEndOfMessage = 0x01;
constexpr std::uint8_t kVersion = 0x00, kEncryption = 0x01, kInstance = 0x02, kThreadId = 0x03,
                       kMars = 0x04, kTerminator = 0xFF;
constexpr std::size_t kHeader = 8, kOption = 5;

unsigned Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }
unsigned BigEndian16(std::string_view s, std::size_t i) { return Byte(s, i) << 8 | Byte(s, i + 1); }

void PutBigEndian16(std::string* s, std::size_t i, std::size_t value) {
    (*s)[i] = static_cast<char>(value >> 8 & 0xFF);
    (*s)[i + 1] = static_cast<char>(value & 0xFF);
}

// The options of a PRELOGIN's data, or false when they do not fit in it.
struct Option {
    std::uint8_t token;
    std::string_view value;
};

bool ReadOptions(std::string_view data, std::vector<Option>* options) {
    for (std::size_t at = 0;; at += kOption) {
        if (at >= data.size()) return false;
        if (Byte(data, at) == kTerminator) return true;
        if (at + kOption > data.size()) return false;
        const std::size_t offset = BigEndian16(data, at + 1), length = BigEndian16(data, at + 3);
        if (offset > data.size() || length > data.size() - offset) return false;
        options->push_back({static_cast<std::uint8_t>(Byte(data, at)), data.substr(offset, length)});
    }
}

}  // namespace

std::string PreloginRequest(std::string_view instance, bool encrypt) {
    // Version 0.0.0.0: a client that is not a driver; thread id 0; no MARS.
    const std::string instanceValue = std::string(instance) + '\0';
    const std::pair<std::uint8_t, std::string> options[] = {
        {kVersion, std::string(6, '\0')},
        {kEncryption, std::string(1, encrypt ? '\x01' : '\x00')},
        {kInstance, instanceValue},
        {kThreadId, std::string(4, '\0')},
        {kMars, std::string(1, '\0')},
    };
    std::string data;
    std::string values;
    const std::size_t listSize = std::size(options) * kOption + 1;
    for (const auto& [token, value] : options) {
        const std::size_t at = data.size();
        data += std::string(kOption, '\0');
        data[at] = static_cast<char>(token);
        PutBigEndian16(&data, at + 1, listSize + values.size());
        PutBigEndian16(&data, at + 3, value.size());
        values += value;
    }
    data += static_cast<char>(kTerminator);
    data += values;
    std::string packet(kHeader, '\0');
    packet[0] = static_cast<char>(kPrelogin);
    packet[1] = static_cast<char>(kEndOfMessage);
    packet[6] = 1;  // the first packet
    PutBigEndian16(&packet, 2, kHeader + data.size());
    return packet + data;
}

PreloginAnswer ReadPreloginAnswer(std::string_view received) {
    PreloginAnswer answer;
    const auto notTds = [&] {
        answer.status = PreloginAnswer::Status::NotTds;
        return answer;
    };
    if (received.size() > kMaxPreloginAnswer) return notTds();
    // The packets' data, up to the one that ends the message.
    std::string data;
    bool ended = false;
    while (!ended) {
        if (!received.empty() && Byte(received, 0) != kTabularResult) return notTds();
        if (received.size() < 4) return answer;  // Incomplete
        const std::size_t length = BigEndian16(received, 2);
        if (length < kHeader) return notTds();
        if (received.size() < length) return answer;
        ended = Byte(received, 1) & kEndOfMessage;
        data.append(received.substr(kHeader, length - kHeader));
        received.remove_prefix(length);
    }
    if (!received.empty()) return notTds();  // the server speaks before being asked
    std::vector<Option> options;
    if (!ReadOptions(data, &options)) return notTds();
    bool version = false, encryption = false;
    for (const Option& option : options) {
        const std::string_view v = option.value;
        if (option.token == kVersion && v.size() >= 6) {
            version = true;
            answer.major = static_cast<std::uint8_t>(Byte(v, 0));
            answer.minor = static_cast<std::uint8_t>(Byte(v, 1));
            answer.build = static_cast<std::uint16_t>(BigEndian16(v, 2));
        } else if (option.token == kEncryption && v.size() == 1 && Byte(v, 0) <= 3) {
            encryption = true;
            answer.encryption = static_cast<Encryption>(Byte(v, 0));
        } else if (option.token == kInstance && !v.empty()) {
            answer.otherInstance = Byte(v, 0) != 0;
        }
    }
    if (!version || !encryption) return notTds();
    answer.status = PreloginAnswer::Status::Ok;
    return answer;
}

std::string ServerVersion(const PreloginAnswer& answer) {
    static const std::pair<int, const char*> kProducts[] = {
        {8, "2000"},  {9, "2005"},  {10, "2008"}, {11, "2012"}, {12, "2014"},
        {13, "2016"}, {14, "2017"}, {15, "2019"}, {16, "2022"}, {17, "2025"},
    };
    std::string text = "SQL Server " + std::to_string(answer.major) + "." +
                       std::to_string(answer.minor) + "." + std::to_string(answer.build);
    for (const auto& [major, year] : kProducts)
        if (major == answer.major)
            return text + " (" + year + (major == 10 && answer.minor == 50 ? " R2" : "") + ")";
    return text;
}

const char* EncryptionName(Encryption encryption) {
    switch (encryption) {
    case Encryption::Off: return "só na entrada";
    case Encryption::On: return "disponível";
    case Encryption::NotSupported: return "não suportada";
    case Encryption::Required: return "obrigatória";
    }
    return "";
}

bool EncryptsByDefault(std::string_view driver) {
    constexpr std::string_view kStart = "ODBC Driver ", kEnd = " for SQL Server";
    if (driver.size() <= kStart.size() + kEnd.size() || driver.substr(0, kStart.size()) != kStart ||
        driver.substr(driver.size() - kEnd.size()) != kEnd)
        return false;
    const std::string_view number =
        driver.substr(kStart.size(), driver.size() - kStart.size() - kEnd.size());
    unsigned value = 0;
    for (const char c : number) {
        if (c < '0' || c > '9' || value > 1000) return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value >= 18;
}

}  // namespace connection
