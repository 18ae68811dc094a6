// Shared set-up for the dialog's tests: the fake platform, a window double
// wired to the dialog's logic, and the settings key in the fake registry.
#pragma once

#include <gtest/gtest.h>

#include "app/frmDefinicoes.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_services.h"
#include "scrambler/modEncriptSerial.h"

namespace dialogtest {

using app::Control;
using Op = fakes::FakeRegistry::Op;
using std::string_literals::operator""s;

constexpr std::uint32_t HKLM = 0x80000002;
const std::string kSub = "SOFTWARE\\orvex\\tamrel";
const std::string kSeg = "Segurança";

// Set-up steps on the fake platform, run in order as one.
template <typename... Steps>
auto All(Steps... steps) {
    return [=](fakes::FakePlatform& f) { (steps(f), ...); };
}

class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        modEncriptSerial::EsquecerChave();
        fake.volume.serial = 12345;  // key "12345": shifts of 49 to 53
    }
    void TearDown() override { EXPECT_EQ(fake.registry.openKeys(), 0); }

    void Store(const std::string& name, const std::string& text) {
        fake.registry.PutString(HKLM, kSub, name, text);
    }
    // The stored text of a value, without its terminator; "<none>" if absent.
    std::string Stored(const std::string& name) const {
        const auto v = fake.registry.Get(HKLM, kSub, name);
        if (!v) return "<none>";
        std::string bytes = v->bytes;
        if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
        return bytes;
    }
    int Writes() const {
        int n = 0;
        for (const auto& e : fake.registry.valueLog()) n += e.rfind("set ", 0) == 0;
        return n;
    }
    void StoreAll() {
        Store("Servidor", "db01");
        Store("Base_Dados", "vendas");
        Store(kSeg, "True");
        Store("Utilizador", "sa");
        Store("Palavra-Passe", "\x92\x94\x96");  // "abc" under key "12345"
    }

    fakes::FakePlatform fake;
    fakes::FakeDialogView view;
    app::frmDefinicoes form{view};
};

}  // namespace dialogtest
