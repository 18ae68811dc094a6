// The dialog's "&OK" over the host doubles, with stored values and user
// edits taken from the input. Stored: each of the five values missing, or
// of any type with any bytes, a text the code page does not hold exactly,
// with leading spaces, too long to read, a redirection that resolves,
// loops, dangles or runs past the limit, a password scrambled here or with
// another machine's key. Edits: each field left, typed into, typed into and
// put back, or the list picked. After "&OK" it aborts unless: a value whose
// field was not changed is byte for byte as stored, type included; a
// changed value holds exactly the typed text (the password: its stored form
// decodes to it), or the save was refused and nothing at all was written;
// no key is left open; nothing outside the five values was written.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/frmDefinicoes.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_services.h"
#include "platform/runtime_failure.h"
#include "scrambler/modEncriptSerial.h"
#include "settings/definicoes.h"

namespace {

using fakes::FakeRegistry;
using settings::kDefinicoes;
using settings::Tipo;

constexpr std::uint32_t HKLM = 0x80000002, HKCU = 0x80000001;
const std::string kSub = "SOFTWARE\\orvex\\tamrel";

// Names the broken invariant, then aborts, which libFuzzer reports.
[[noreturn]] void Broken(const char* invariant, int line) {
    std::fprintf(stderr, "broken at line %d: %s\n", line, invariant);
    std::abort();
}
#define CHECK(condition) ((condition) ? void() : Broken(#condition, __LINE__))

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The stored form of a password under the volume serial `serial`.
std::string ScrambledWith(std::uint32_t serial, const std::string& text,
                          fakes::FakeVolume& volume) {
    const std::uint32_t own = std::exchange(volume.serial, serial);
    modEncriptSerial::EsquecerChave();
    std::string stored = text;
    try {
        stored = modEncriptSerial::Encriptar(text).view();
    } catch (const platform::RuntimeFailure&) {
    }
    volume.serial = own;
    modEncriptSerial::EsquecerChave();
    return stored;
}

void StoreValue(FuzzedDataProvider& in, fakes::FakePlatform& fake, std::size_t i) {
    const std::string name = kDefinicoes[i].nome;
    const std::string tag = std::to_string(i);
    const auto text = [&] { return in.ConsumeRandomLengthString(24); };
    auto& registry = fake.registry;
    switch (in.ConsumeIntegralInRange(0, 10)) {
    case 0: break;  // missing
    case 1: registry.PutString(HKLM, kSub, name, text()); break;
    case 2: {
        const auto type = in.ConsumeIntegralInRange<std::uint32_t>(0, 11);
        registry.PutRaw(HKLM, kSub, name, type, text());
        break;
    }
    case 3: registry.PutRaw(HKLM, kSub, name, platform::kRegSz, text() + '\0', false); break;
    case 4: registry.PutString(HKLM, kSub, name, "  " + text()); break;
    case 5:  // resolves, to a value of any kind
        registry.PutString(HKLM, kSub, name, "SREF=HKEY_CURRENT_USER\\R" + tag);
        registry.PutRaw(HKCU, "R" + tag, name, in.ConsumeIntegralInRange<std::uint32_t>(1, 7),
                        text() + '\0', in.ConsumeBool());
        break;
    case 6: registry.PutString(HKLM, kSub, name, "SREF=HKEY_LOCAL_MACHINE\\" + kSub); break;
    case 7: registry.PutString(HKLM, kSub, name, "SREF=HKEY_CURRENT_USER\\Nada" + tag); break;
    case 8: {  // a chain longer than the store follows, or just short enough
        const int hops = in.ConsumeIntegralInRange(30, 34);
        registry.PutString(HKLM, kSub, name, "SREF=HKEY_CURRENT_USER\\C" + tag + "_0");
        for (int h = 0; h < hops; ++h)
            registry.PutString(HKCU, "C" + tag + "_" + std::to_string(h), name,
                               "SREF=HKEY_CURRENT_USER\\C" + tag + "_" + std::to_string(h + 1));
        registry.PutString(HKCU, "C" + tag + "_" + std::to_string(hops), name, text());
        break;
    }
    case 9: {  // a password stored here, or on another machine
        const auto serial =
            in.ConsumeBool() ? fake.volume.serial : in.ConsumeIntegral<std::uint32_t>();
        registry.PutString(HKLM, kSub, name, ScrambledWith(serial, text(), fake.volume));
        break;
    }
    default: registry.PutString(HKLM, kSub, name, std::string(3500, 'x')); break;
    }
}

// What the user types: any bytes, or code-page characters as UTF-8.
std::string Typed(FuzzedDataProvider& in, fakes::FakePlatform& fake) {
    const std::string raw = in.ConsumeRandomLengthString(24);
    return in.ConsumeBool() ? raw : fake.codePage.ToUtf8(raw);
}

void Edit(FuzzedDataProvider& in, fakes::FakePlatform& fake, fakes::FakeDialogView& view,
          std::size_t i) {
    const app::Control control = app::ControloDe(i);
    if (kDefinicoes[i].tipo == Tipo::Lista) {
        if (in.ConsumeBool()) view.SelectListItem(in.ConsumeIntegralInRange(-1, 1));
        return;
    }
    const std::string loaded = view.Text(control);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: break;
    case 1: view.Type(control, Typed(in, fake)); break;
    default:  // typed, then deleted back to what it was
        view.Type(control, Typed(in, fake));
        view.Type(control, loaded);
        break;
    }
}

// The value a changed field must have left, as stored bytes.
void CheckWritten(fakes::FakePlatform& fake, const FakeRegistry::Value& after, Tipo tipo,
                  const std::string& typed, int item) {
    CHECK(after.type == platform::kRegSz && after.exact);
    CHECK(!after.bytes.empty() && after.bytes.back() == '\0');
    const std::string stored = after.bytes.substr(0, after.bytes.size() - 1);
    if (tipo == Tipo::Lista) return CHECK(stored == settings::kItensSeguranca[item]);
    std::string ansi;
    CHECK(fake.codePage.FromUtf8(typed, &ansi));
    if (tipo == Tipo::Texto) return CHECK(stored == ansi);
    CHECK(modEncriptSerial::Desencriptar(stored) == ansi);  // a failure escapes: a crash
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fakes::FakePlatform fake;
    fake.volume.serial = in.ConsumeIntegral<std::uint32_t>();
    modEncriptSerial::EsquecerChave();
    // Bytes a double-byte or UTF-8 code page would not read alone.
    if (in.ConsumeBool()) fake.codePage.lost = "\x81\x9C\xE0";
    fake.registry.CreateKey(HKLM, kSub);
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) StoreValue(in, fake, i);
    const auto before = fake.registry.keys();

    fakes::FakeDialogView view;
    app::frmDefinicoes form{view};
    form.Form_Load();
    form.Form_Shown();
    std::string loaded[kDefinicoes.size()];
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) loaded[i] = view.Text(app::ControloDe(i));
    const int loadedItem = view.selected;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) Edit(in, fake, view, i);
    fake.messageDialog.shown.clear();
    form.Command1_Click();

    CHECK(fake.registry.openKeys() == 0);
    const auto& after = fake.registry.keys();
    if (!view.unloaded) {  // refused: nothing at all was written
        CHECK(after == before);
        CHECK(!fake.messageDialog.shown.empty());
        return 0;
    }
    // Everything but the values written is as it was.
    const std::string settingsKey = FakeRegistry::KeyId(HKLM, kSub);
    auto expected = before;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const std::string name = Lower(kDefinicoes[i].nome);
        const bool missing = before.at(settingsKey).count(name) == 0;
        const bool changed = kDefinicoes[i].tipo == Tipo::Lista
                                 ? view.selected >= 0 && view.selected != loadedItem
                                 : view.Text(app::ControloDe(i)) != loaded[i];
        if (!missing && !changed) continue;
        const auto written = after.at(settingsKey).find(name);
        CHECK(written != after.at(settingsKey).end());
        if (changed)
            CheckWritten(fake, written->second, kDefinicoes[i].tipo, view.Text(app::ControloDe(i)),
                         view.selected);
        else
            CHECK(written->second.type == platform::kRegSz);
        expected[settingsKey][name] = written->second;
    }
    CHECK(after == expected);
    return 0;
}
