#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "fakes/fake_volume.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "scrambler/modEncriptSerial.h"

namespace {

using namespace modEncriptSerial;

// The scrambler's results, as plain strings to compare and index.
std::string Encriptar(std::string_view text) {
    return std::string(modEncriptSerial::Encriptar(text).view());
}
std::string Desencriptar(std::string_view text) {
    return std::string(modEncriptSerial::Desencriptar(text).view());
}

// Sums replaced while encoding, with the codes they are stored as.
const std::map<int, int> kStoredForSum = {{127, 254}, {129, 255}, {35, 253}, {141, 252},
                                          {143, 251}, {144, 250}, {36, 249}, {157, 248}};

std::string Char(int code) { return std::string(1, static_cast<char>(code)); }

// A serial whose key text starts with each possible key character.
const std::map<char, std::uint32_t> kSerialForFirstKeyChar = {
    {'-', 0xFFFFFFFF}, {'0', 0}, {'1', 1}, {'2', 2}, {'3', 3}, {'4', 4},
    {'5', 5},          {'6', 6}, {'7', 7}, {'8', 8}, {'9', 9}};

class ScramblerTest : public ::testing::Test {
protected:
    static platform::Services WithVolume(platform::Volume* volume) {
        platform::Services services;
        services.volume = volume;
        return services;
    }

    void SetUp() override { EsquecerChave(); }

    void UseSerial(std::uint32_t serial) {
        volume_.serial = serial;
        EsquecerChave();
    }

    template <typename F>
    void ExpectInvalidArgument(F call) {
        try {
            call();
            ADD_FAILURE() << "no failure raised";
        } catch (const platform::RuntimeFailure& failure) {
            EXPECT_EQ(failure.number(), 5);
            EXPECT_EQ(failure.description(), "Invalid procedure call or argument");
        }
    }

    fakes::FakeVolume volume_;
    platform::ScopedServices guard_{WithVolume(&volume_)};
};

// Computed by tests/data/scrambler_vectors.py.
TEST_F(ScramblerTest, KnownAnswers) {
    struct Vector {
        std::uint32_t serial;
        const char* key;
        std::string plain;
        std::string stored;
    };
    const Vector vectors[] = {
        {0x12345678, "305419896", "LQX[_dPa55word!",
         "\xFE\xFF\xFC\xFB\xFA\xF8\x88\x9Akh\xA7\xA4\xA6\x95Z"},
        {0x8BADF00D, "-1951535091", "RPTZ_hSegredo#2024",
         "\xFE\xFF\xFC\xFB\xFA\xF8\x86\x9A\x97\xAB\x96\x91\xA0\x5Cgagg"},
        {0x00000000, "0", "OQ]_`mabc", "\xFE\xFF\xFC\xFB\xFA\xF8\x91\x92\x93"},
    };
    for (const auto& v : vectors) {
        UseSerial(v.serial);
        EXPECT_EQ(Encriptar(v.plain), v.stored) << v.key;
        EXPECT_EQ(ObterChaveSerial(), v.key);
        EXPECT_EQ(Desencriptar(v.stored), v.plain) << v.key;
    }
}

TEST_F(ScramblerTest, KeyIsSignedDecimalOfSerial) {
    const std::map<std::uint32_t, std::string> cases = {{0, "0"},
                                                        {7, "7"},
                                                        {0x7FFFFFFF, "2147483647"},
                                                        {0x80000000, "-2147483648"},
                                                        {0xFFFFFFFF, "-1"}};
    for (const auto& [serial, key] : cases) {
        volume_.serial = serial;
        EXPECT_EQ(ObterChaveSerial(), key);
        EXPECT_EQ(volume_.lastRootPath, "C:\\");
    }
}

TEST_F(ScramblerTest, RootPathFromFirstNonBlankCharacter) {
    const std::map<std::string, std::string> cases = {
        {"C", "C:\\"}, {"  d  ", "d:\\"}, {"C:\\", "C:\\"}, {" EF", "E:\\"}, {"   ", ":\\"}};
    volume_.serial = 42;
    for (const auto& [drive, root] : cases) {
        EXPECT_EQ(ObterSerialVolume(drive), "42");
        EXPECT_EQ(volume_.lastRootPath, root) << '"' << drive << '"';
    }
}

// Every character code against every key character, at the first position.
TEST_F(ScramblerTest, EveryCodeAgainstEveryKeyCharacter) {
    for (const auto& [keyChar, serial] : kSerialForFirstKeyChar) {
        UseSerial(serial);
        for (int code = 0; code <= 255; ++code) {
            SCOPED_TRACE(testing::Message() << "key '" << keyChar << "' code " << code);
            const std::string plain = Char(code);
            const int sum = code + keyChar;
            if (sum > 255) {
                ExpectInvalidArgument([&] { Encriptar(plain); });
                continue;
            }
            const std::string stored = Encriptar(plain);
            const auto special = kStoredForSum.find(sum);
            if (special != kStoredForSum.end()) {
                EXPECT_EQ(static_cast<unsigned char>(stored[0]), special->second);
                EXPECT_EQ(Desencriptar(stored), plain);
            } else if (sum <= 247) {
                EXPECT_EQ(static_cast<unsigned char>(stored[0]), sum);
                EXPECT_EQ(Desencriptar(stored), plain);
            } else if (sum == 249 || sum == 253) {
                EXPECT_EQ(static_cast<unsigned char>(stored[0]), sum);
                ExpectInvalidArgument([&] { Desencriptar(stored); });
            } else {
                EXPECT_EQ(static_cast<unsigned char>(stored[0]), sum);
                EXPECT_NE(Desencriptar(stored), plain);
            }
        }
    }
}

TEST_F(ScramblerTest, StoredCodeBelowKeyCodeFailsToDecode) {
    UseSerial(9);  // key "9", code 57
    EXPECT_EQ(Desencriptar("9"), Char(0));
    ExpectInvalidArgument([&] { Desencriptar("8"); });
}

TEST_F(ScramblerTest, KeyIsUsedCyclicallyOverLongTexts) {
    UseSerial(0x8BADF00D);
    const std::string key = "-1951535091";
    const std::string plain(100, 'A');
    const std::string stored = Encriptar(plain);
    ASSERT_EQ(stored.size(), plain.size());
    for (std::size_t j = 0; j < stored.size(); ++j) {
        EXPECT_EQ(stored[j], 'A' + key[j % key.size()]) << "position " << j;
    }
    EXPECT_EQ(Desencriptar(stored), plain);
}

TEST_F(ScramblerTest, KeyCacheFilledOnceByEitherDirection) {
    volume_.serial = 5;
    EXPECT_EQ(Encriptar(""), "");
    EXPECT_EQ(volume_.queries, 1);
    volume_.serial = 6;
    EXPECT_EQ(Encriptar("a"), Char('a' + '5'));
    EXPECT_EQ(Desencriptar("z"), Char('z' - '5'));
    EXPECT_EQ(volume_.queries, 1);

    EsquecerChave();
    EXPECT_EQ(Desencriptar(""), "");
    EXPECT_EQ(volume_.queries, 2);
    EXPECT_EQ(Encriptar("a"), Char('a' + '6'));
    EXPECT_EQ(volume_.queries, 2);
}

}  // namespace
