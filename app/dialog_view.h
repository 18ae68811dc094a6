// What the dialog's logic needs from its window: the controls' texts, the
// list, the focus, closing, and connection tests off its thread. The Win32
// window implements it; host tests use a double. Texts are UTF-8.
#pragma once

#include <cstddef>
#include <string>

#include "connection/connection_string.h"

namespace app {

// The first five are the fields of the five settings, in the order of
// settings::kDefinicoes (the window's rows, top to bottom; the window checks
// each row against the table).
enum class Control {
    FXDataSource,
    FXInitialCatalog,
    FXSecurity_Info,
    FXUser,
    FXPassword,
    Command1,  // "&OK"
    Command2,  // "&Cancelar"
    Command3,  // "&Testar ligação"
};

// The field that shows settings::kDefinicoes[definicao].
constexpr Control ControloDe(std::size_t definicao) { return static_cast<Control>(definicao); }

class DialogView {
public:
    virtual ~DialogView() = default;
    // The text of a text box.
    virtual std::string Text(Control control) const = 0;
    // The same as a secret, for a text that may be a password: no plain
    // copy of it is made on the way.
    virtual platform::Secret SecretText(Control control) const = 0;
    // Replaces the text of a text box.
    virtual void SetText(Control control, const std::string& utf8) = 0;

    // The FXSecurity_Info drop-down list.
    virtual void ClearList() = 0;
    virtual void AddListItem(const std::string& utf8) = 0;
    virtual void SelectListItem(int index) = 0;  // -1 selects none
    virtual int SelectedListItem() const = 0;    // -1 when none is selected

    virtual void SetFocus(Control control) = 0;
    // Enables or disables a button; a disabled button that had the focus
    // hands it to the next control.
    virtual void Enable(Control control, bool enabled) = 0;
    // Starts a connection test with `target` off the window's thread and
    // returns at once; the logic hears the outcome through
    // frmDefinicoes::Command3_Done, on the window's thread, unless the
    // window is gone by then.
    virtual void TestConnection(connection::Target target) = 0;
    // Destroys the window; as it is the only one, the program then ends.
    virtual void Unload() = 0;
};

}  // namespace app
