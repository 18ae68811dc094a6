// The access settings window: a plain top-level window with thirteen child
// controls, driven by the dialog manager's keyboard handling (IsDialogMessage
// in the message loop). It owns the dialog's logic and forwards each event
// to it; everything the logic asks of the controls goes through DialogView.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "app/connection_worker.h"
#include "app/dialog_view.h"
#include "app/frmDefinicoes.h"
#include "platform/win32/owned.h"

namespace app {

class frmDefinicoesWindow : public DialogView {
public:
    frmDefinicoesWindow() : logic_(*this) {}
    ~frmDefinicoesWindow() override;
    frmDefinicoesWindow(const frmDefinicoesWindow&) = delete;
    frmDefinicoesWindow& operator=(const frmDefinicoesWindow&) = delete;

    // Creates the window, hidden, at its design position, with its controls.
    bool Create(HINSTANCE instance);
    // Fills the controls; runs before the window is first shown.
    void Load() { logic_.Form_Load(); }
    // Shows the window; the logic hears of it once it is visible.
    void Show(int showCommand);
    // Null once the window is destroyed.
    HWND Handle() const { return hwnd_; }

    std::string Text(Control control) const override;
    platform::Secret SecretText(Control control) const override;
    void SetText(Control control, const std::string& utf8) override;
    void ClearList() override;
    void AddListItem(const std::string& utf8) override;
    void SelectListItem(int index) override;
    int SelectedListItem() const override;
    void SetFocus(Control control) override;
    void Enable(Control control, bool enabled) override;
    void TestConnection(connection::Target target) override;
    void Unload() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnCommand(int id, int code);
    void OnActivate(bool active);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnNcDestroy();

    void CreateControls();
    void LayoutControls();
    HWND Child(Control control) const;

    static constexpr size_t kChildCount = 13;

    frmDefinicoes logic_;
    ConnectionWorker test_;  // the connection test running, if any
    HWND hwnd_ = nullptr;
    std::array<HWND, kChildCount> children_{};  // in creation (and tab) order
    HWND focus_ = nullptr;                      // the control to give the focus back to
    platform::win32::Owned<HFONT, DeleteObject> font_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace app
