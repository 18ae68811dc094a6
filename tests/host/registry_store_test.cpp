// The registry store against the fake registry: path parsing, reading,
// redirections, writing, and the traps that turn failures into results.
#include <gtest/gtest.h>

#include <new>

#include "fakes/fake_services.h"
#include "registry/modRegistry.h"

namespace {

using modRegistry::ResultadoLeitura;
const ResultadoLeitura kNaoExiste = ResultadoLeitura::Null(ResultadoLeitura::Causa::NaoExiste);
const ResultadoLeitura kIlegivel = ResultadoLeitura::Null(ResultadoLeitura::Causa::Ilegivel);
using platform::RuntimeFailure;
using Op = fakes::FakeRegistry::Op;

constexpr std::uint32_t HKCU = modRegistry::kHkeyCurrentUser;
constexpr std::uint32_t HKLM = modRegistry::kHkeyLocalMachine;
const std::string kSub = "SOFTWARE\\orvex\\tamrel";
const std::string kPath = "HKEY_LOCAL_MACHINE\\" + kSub;

class RegistryStore : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(fake.registry.openKeys(), 0) << "a key was left open"; }
    fakes::FakePlatform fake;
};

// --- Key paths -------------------------------------------------------------

struct PathCase {
    std::string path;
    std::uint32_t root;
    std::string subKey;
    bool message;
};

class KeyPaths : public RegistryStore, public ::testing::WithParamInterface<PathCase> {};

TEST_P(KeyPaths, SplitIntoRootAndSubKey) {
    const PathCase& c = GetParam();
    const modRegistry::ChaveFormatada k = modRegistry::FormatarChave(c.path);
    EXPECT_EQ(k.raiz, c.root);
    EXPECT_EQ(k.subchave, c.subKey);
    if (c.message) {
        ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
        EXPECT_EQ(fake.messageDialog.shown[0].text, "Formato Incorrecto:\n\n" + c.path);
        EXPECT_EQ(fake.messageDialog.shown[0].icon, platform::Icon::None);
    } else {
        EXPECT_TRUE(fake.messageDialog.shown.empty());
    }
    EXPECT_TRUE(fake.reporter.attempts.empty());
}

// One table row a case, laid out by hand.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, KeyPaths,
    ::testing::Values(
        PathCase{kPath, HKLM, kSub, false},
        PathCase{"HKEY_LOCAL_MACHINE", HKLM, "", false},
        PathCase{"HKEY_CLASSES_ROOT\\A", 0x80000000, "A", false},
        PathCase{"HKEY_CURRENT_USER\\A\\B", HKCU, "A\\B", false},
        PathCase{"HKEY_USERS\\A", 0x80000003, "A", false},
        PathCase{"HKEY_PERFORMANCE_DATA\\A", 0x80000004, "A", false},
        PathCase{"HKEY_CURRENT_CONFIG\\A", 0x80000005, "A", false},
        PathCase{"HKEY_DYN_DATA\\A", 0x80000006, "A", false},
        // Only the first backslash splits.
        PathCase{"HKEY_CURRENT_USER\\\\A", HKCU, "\\A", false},
        // Well-formed, but no root key of that name: silently none.
        PathCase{"HKEY_Local_Machine\\A", 0, "A", false},
        PathCase{"HKEY_NOWHERE\\A", 0, "A", false},
        PathCase{"HKEY_", 0, "", false},
        // Malformed: the message, no root key, not split.
        PathCase{"hkey_local_machine\\A", 0, "", true},
        PathCase{"HKEY_LOCAL_MACHINE\\A\\", 0, "", true},
        PathCase{"HKEY_LOCAL_MACHINE\\", 0, "", true},
        PathCase{"SOFTWARE\\A", 0, "", true},
        PathCase{"HKEY", 0, "", true},
        PathCase{"", 0, "", true}));
// clang-format on

TEST_F(RegistryStore, MalformedPathMessageShowsThePathInUtf8) {
    modRegistry::FormatarChave("HKEY_LOCAL_MACHINE\\Seguran\xE7"
                               "a\\");
    ASSERT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.messageDialog.shown[0].text,
              "Formato Incorrecto:\n\nHKEY_LOCAL_MACHINE\\Segurança\\");
}

// --- Reading ---------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::uint32_t type;
    std::string stored;  // the value's bytes, terminator included when present
    ResultadoLeitura expected;
};

class Reads : public RegistryStore, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(Reads, TrimThenDropTheLastCharacter) {
    const ReadCase& c = GetParam();
    fake.registry.PutRaw(HKLM, kSub, "Servidor", c.type, c.stored);
    EXPECT_EQ(modRegistry::ValorString(kPath, "Servidor"), c.expected);
    EXPECT_EQ(modRegistry::ObterValorString(kPath, "Servidor"), c.expected);
}

using std::string_literals::operator""s;
// One table row a case, laid out by hand.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, Reads,
    ::testing::Values(
        ReadCase{"plain", 1, "db01\0"s, ResultadoLeitura::Texto("db01")},
        ReadCase{"leading_spaces_lost", 1, "  db01\0"s, ResultadoLeitura::Texto("db01")},
        ReadCase{"trailing_spaces_kept", 1, "db01  \0"s, ResultadoLeitura::Texto("db01  ")},
        ReadCase{"empty_is_text", 1, "\0"s, ResultadoLeitura::Texto("")},
        ReadCase{"only_spaces", 1, "   \0"s, ResultadoLeitura::Texto("")},
        ReadCase{"no_bytes", 1, "", ResultadoLeitura::Texto("")},
        ReadCase{"no_terminator_loses_a_character", 1, "db01", ResultadoLeitura::Texto("db0")},
        ReadCase{"dword_bytes_as_characters", 4, "ABC\0"s, ResultadoLeitura::Texto("ABC")},
        ReadCase{"binary_bytes_as_characters", 3, " xyz", ResultadoLeitura::Texto("xy")},
        ReadCase{"longest_that_fits", 1, std::string(3499, 'a') + '\0',
                 ResultadoLeitura::Texto(std::string(3499, 'a'))},
        ReadCase{"one_too_long", 1, std::string(3500, 'a') + '\0', kIlegivel}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(RegistryStore, MissingKeyOrValueReadsNullThatDoesNotExist) {
    EXPECT_EQ(modRegistry::ObterValorString(kPath, "Servidor"), kNaoExiste);
    fake.registry.CreateKey(HKLM, kSub);
    EXPECT_EQ(modRegistry::ObterValorString(kPath, "Servidor"), kNaoExiste);
}

// Any other failed open or query: the value may be there, unreadable.
TEST_F(RegistryStore, RefusedOpenOrQueryReadsNullThatCouldNotBeRead) {
    fake.registry.PutString(HKLM, kSub, "Servidor", "db01");
    for (Op op : {Op::Open, Op::Query}) {
        fake.registry.FailOn(op, op == Op::Open ? fakes::FakeRegistry::kAny : "Servidor",
                             platform::kAccessDenied);
        EXPECT_EQ(modRegistry::ObterValorString(kPath, "Servidor"), kIlegivel)
            << static_cast<int>(op);
    }
}

TEST_F(RegistryStore, PathWithoutRootReadsEmptyAndTouchesNothing) {
    EXPECT_TRUE(modRegistry::ObterValorString("HKEY_NOWHERE\\A", "x").IsEmpty());
    EXPECT_TRUE(modRegistry::ObterValorString("hkey_local_machine\\A", "x").IsEmpty());
    EXPECT_EQ(fake.registry.calls(), 0);
}

TEST_F(RegistryStore, OneKeyOpenedAndClosedPerOperationInThe32BitView) {
    fake.registry.PutString(HKLM, kSub, "Servidor", "db01");
    modRegistry::ObterValorString(kPath, "Servidor");
    modRegistry::DefinirValorString(kPath, "Servidor", "db02");
    EXPECT_EQ(fake.registry.calls(), 6);  // open, query, close; open, set, close
    EXPECT_EQ(fake.registry.accessLog(),
              (std::vector<std::uint32_t>{0x20019 | 0x200, 0x20006 | 0x200}));
}

// --- Redirections ----------------------------------------------------------

TEST_F(RegistryStore, RedirectionsAreFollowedToAnyRoot) {
    fake.registry.PutString(HKLM, kSub, "Servidor", "SREF=HKEY_CURRENT_USER\\A");
    fake.registry.PutString(HKCU, "A", "Servidor", "SREF=HKEY_CURRENT_USER\\B");
    fake.registry.PutString(HKCU, "B", "Servidor", "  final ");
    EXPECT_EQ(modRegistry::ObterValorString(kPath, "Servidor"), ResultadoLeitura::Texto("final "));
    // The plain read does not follow.
    EXPECT_EQ(modRegistry::ValorString(kPath, "Servidor"),
              ResultadoLeitura::Texto("SREF=HKEY_CURRENT_USER\\A"));
}

struct RedirectCase {
    const char* name;
    std::string target;  // what follows the marker at the settings key
    ResultadoLeitura expected;
    bool message;
};

class Redirects : public RegistryStore, public ::testing::WithParamInterface<RedirectCase> {};

TEST_P(Redirects, EndOfTheChain) {
    const RedirectCase& c = GetParam();
    fake.registry.PutString(HKLM, kSub, "Servidor", "SREF=" + c.target);
    fake.registry.PutString(HKCU, "Loop", "Servidor", "SREF=" + kPath);
    fake.registry.CreateKey(HKCU, "NoValue");
    EXPECT_EQ(modRegistry::ObterValorString(kPath, "Servidor"), c.expected);
    EXPECT_EQ(fake.messageDialog.shown.size(), c.message ? 1u : 0u);
}

// One table row a case, laid out by hand.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, Redirects,
    ::testing::Values(
        // The redirection itself is there: a chain that leads nowhere leaves
        // it unreadable, never missing.
        RedirectCase{"missing_value", "HKEY_CURRENT_USER\\NoValue", kIlegivel, false},
        RedirectCase{"missing_key", "HKEY_CURRENT_USER\\Gone", kIlegivel, false},
        RedirectCase{"marker_alone", "", ResultadoLeitura::Empty(), true},
        RedirectCase{"malformed_target", "HKEY_CURRENT_USER\\A\\", ResultadoLeitura::Empty(), true},
        RedirectCase{"unknown_root", "HKEY_NOWHERE\\A", ResultadoLeitura::Empty(), false},
        RedirectCase{"to_itself", kPath, kIlegivel, false},
        RedirectCase{"back_and_forth", "HKEY_CURRENT_USER\\Loop", kIlegivel, false}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(RegistryStore, LowerCaseMarkerIsPlainText) {
    fake.registry.PutString(HKLM, kSub, "Servidor", "sref=HKEY_CURRENT_USER\\A");
    EXPECT_EQ(modRegistry::ObterValorString(kPath, "Servidor"),
              ResultadoLeitura::Texto("sref=HKEY_CURRENT_USER\\A"));
}

TEST_F(RegistryStore, ChainsEndAfterThirtyTwoRedirections) {
    auto chain = [&](int hops) {
        fake.registry.PutString(HKLM, kSub, "v", "SREF=HKEY_CURRENT_USER\\K1");
        for (int i = 1; i < hops; ++i)
            fake.registry.PutString(HKCU, "K" + std::to_string(i), "v",
                                    "SREF=HKEY_CURRENT_USER\\K" + std::to_string(i + 1));
        fake.registry.PutString(HKCU, "K" + std::to_string(hops), "v", "end");
        return modRegistry::ObterValorString(kPath, "v");
    };
    EXPECT_EQ(chain(32), ResultadoLeitura::Texto("end"));
    EXPECT_EQ(chain(33), kIlegivel);
}

// --- Writing ---------------------------------------------------------------

TEST_F(RegistryStore, WriteStoresTextWithItsTerminator) {
    fake.registry.CreateKey(HKLM, kSub);
    EXPECT_TRUE(modRegistry::DefinirValorString(kPath, "Segurança", "True"));
    const auto v = fake.registry.Get(HKLM, kSub, "Segurança");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, platform::kRegSz);
    EXPECT_EQ(v->bytes, "True\0"s);
    EXPECT_EQ(modRegistry::ObterValorString(kPath, "Segurança"), ResultadoLeitura::Texto("True"));
}

TEST_F(RegistryStore, WriteReplacesARedirectionItself) {
    fake.registry.PutString(HKLM, kSub, "Servidor", "SREF=HKEY_CURRENT_USER\\A");
    fake.registry.PutString(HKCU, "A", "Servidor", "elsewhere");
    EXPECT_TRUE(modRegistry::DefinirValorString(kPath, "Servidor", "here"));
    EXPECT_EQ(fake.registry.Get(HKLM, kSub, "Servidor")->bytes, "here\0"s);
    EXPECT_EQ(fake.registry.Get(HKCU, "A", "Servidor")->bytes, "elsewhere\0"s);
}

TEST_F(RegistryStore, WriteIntoMissingKeyFailsAndCreatesNothing) {
    EXPECT_FALSE(modRegistry::DefinirValorString(kPath, "Servidor", "x"));
    EXPECT_FALSE(fake.registry.KeyExists(HKLM, kSub));
}

TEST_F(RegistryStore, WriteWithoutRootFails) {
    EXPECT_FALSE(modRegistry::DefinirValorString("HKEY_NOWHERE\\A", "v", "x"));
    EXPECT_TRUE(fake.messageDialog.shown.empty());
    EXPECT_FALSE(modRegistry::DefinirValorString("HKEY_LOCAL_MACHINE\\A\\", "v", "x"));
    EXPECT_EQ(fake.messageDialog.shown.size(), 1u);
    EXPECT_EQ(fake.registry.calls(), 0);
}

TEST_F(RegistryStore, RefusedWriteIsFalse) {
    fake.registry.CreateKey(HKLM, kSub);
    fake.registry.FailOn(Op::Set, "Servidor", platform::kAccessDenied);
    EXPECT_FALSE(modRegistry::DefinirValorString(kPath, "Servidor", "x"));
    EXPECT_FALSE(fake.registry.Get(HKLM, kSub, "Servidor"));
}

// --- Traps -----------------------------------------------------------------

std::array<std::string, 5> Report(const char* operation, const std::string& description) {
    return {"Módulo de Registo", "Admin_Quillo", "modRegistry", operation, description};
}

TEST_F(RegistryStore, TrappedFailureIsReportedOnceAndGivesTheDefault) {
    fake.registry.PutString(HKLM, kSub, "Servidor", "db01");
    fake.registry.RaiseOn(Op::Query, "Servidor", RuntimeFailure(57, "Device I/O error"));
    EXPECT_TRUE(modRegistry::ObterValorString(kPath, "Servidor").IsEmpty());
    ASSERT_EQ(fake.reporter.reports.size(), 1u);
    EXPECT_EQ(fake.reporter.reports[0], Report("ValorString", "Device I/O error"));
}

TEST_F(RegistryStore, FailuresNumbered3709Or0AreNotReported) {
    fake.registry.CreateKey(HKLM, kSub);
    for (long number : {3709L, 0L}) {
        fake.registry.RaiseOn(Op::Set, "Servidor", RuntimeFailure(number, "quiet"));
        EXPECT_FALSE(modRegistry::DefinirValorString(kPath, "Servidor", "x")) << number;
    }
    EXPECT_TRUE(fake.reporter.attempts.empty());
}

TEST_F(RegistryStore, StandardExceptionsCarryTheUsualNumbers) {
    fake.registry.CreateKey(HKLM, kSub);
    fake.registry.RaiseOn(Op::Set, "Servidor", std::make_exception_ptr(std::bad_alloc()));
    EXPECT_FALSE(modRegistry::DefinirValorString(kPath, "Servidor", "x"));
    ASSERT_EQ(fake.reporter.reports.size(), 1u);
    EXPECT_EQ(fake.reporter.reports[0], Report("DefinirValorString", "Out of memory"));
}

TEST_F(RegistryStore, FailingReportIsReportedByTheCallerUnderItsOwnName) {
    fake.registry.PutString(HKLM, kSub, "Servidor", "db01");
    fake.registry.RaiseOn(Op::Query, "Servidor", RuntimeFailure(57, "Device I/O error"));
    fake.reporter.FailWith(RuntimeFailure(429), 1);
    EXPECT_TRUE(modRegistry::ObterValorString(kPath, "Servidor").IsEmpty());
    ASSERT_EQ(fake.reporter.attempts.size(), 2u);
    EXPECT_EQ(fake.reporter.attempts[0], Report("ValorString", "Device I/O error"));
    EXPECT_EQ(fake.reporter.attempts[1],
              Report("ObterValorString", "ActiveX component can't create object"));
}

TEST_F(RegistryStore, ReportFailuresClimbThroughEveryOperation) {
    // A message box that fails inside the path parsing: each level's report
    // fails in turn until the failure leaves the store.
    struct FailingBox : platform::MessageDialog {
        void Show(const std::string&, platform::Icon) override { throw RuntimeFailure(5); }
    } box;
    platform::ScopedServices withBox(
        {&fake.registry, &box, &fake.reporter, nullptr, &fake.codePage});
    fake.reporter.FailWith(RuntimeFailure(429));
    try {
        modRegistry::ObterValorString("HKEY_LOCAL_MACHINE\\", "Servidor");
        FAIL() << "the reporter's failure should reach the caller";
    } catch (const RuntimeFailure& f) {
        EXPECT_EQ(f.number(), 429);
    }
    std::vector<std::string> operations;
    for (const auto& a : fake.reporter.attempts) operations.push_back(a[3]);
    EXPECT_EQ(operations,
              (std::vector<std::string>{"FormatarChave", "ValorString", "ObterValorString"}));
    EXPECT_THROW(modRegistry::DefinirValorString("HKEY_LOCAL_MACHINE\\", "v", "x"), RuntimeFailure);
}

// Makes every registry call of an operation fail in turn, first with a
// status and then with a raised failure.
struct Operation {
    const char* name;
    std::function<bool()> run;                      // true when the result is the failure result
    std::vector<std::pair<Op, std::string>> calls;  // every call it makes
};

TEST_F(RegistryStore, EveryCallFailingInTurnLeavesNoKeyOpen) {
    const std::vector<Operation> operations = {
        {"read",
         [] { return !modRegistry::ObterValorString(kPath, "v").IsTexto(); },
         {{Op::Open, kSub}, {Op::Query, "v"}, {Op::Close, kSub}}},
        {"redirected read",
         [] { return !modRegistry::ObterValorString(kPath, "r").IsTexto(); },
         {{Op::Open, kSub},
          {Op::Query, kSub + "\\r"},
          {Op::Close, kSub},
          {Op::Open, "A"},
          {Op::Query, "A\\r"},
          {Op::Close, "A"}}},
        {"write",
         [] { return !modRegistry::DefinirValorString(kPath, "v", "x"); },
         {{Op::Open, kSub}, {Op::Set, "v"}, {Op::Close, kSub}}},
    };
    for (const Operation& op : operations) {
        for (const auto& [call, where] : op.calls) {
            for (bool raise : {false, true}) {
                fakes::FakePlatform f;
                f.registry.PutString(HKLM, kSub, "v", "value");
                f.registry.PutString(HKLM, kSub, "r", "SREF=HKEY_CURRENT_USER\\A");
                f.registry.PutString(HKCU, "A", "r", "value");
                if (raise)
                    f.registry.RaiseOn(call, where, RuntimeFailure(57, "Device I/O error"));
                else
                    f.registry.FailOn(call, where, platform::kAccessDenied);
                const bool failed = op.run();
                const std::string at =
                    std::string(op.name) + ", " + where + (raise ? " raising" : " failing");
                EXPECT_EQ(f.registry.openKeys(), 0) << at;
                EXPECT_EQ(f.reporter.reports.size(), raise ? 1u : 0u) << at;
                // A close's status is ignored.
                EXPECT_EQ(failed, raise || call != Op::Close) << at;
            }
        }
    }
}

}  // namespace
