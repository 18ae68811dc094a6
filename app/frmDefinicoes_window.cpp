#include "app/frmDefinicoes_window.h"

#include <imm.h>

#include <algorithm>
#include <optional>

#include "app/dpi.h"
#include "platform/win32/win32_platform.h"

namespace app {
namespace {

using platform::win32::Narrow;
using platform::win32::Owned;
using platform::win32::Widen;

constexpr wchar_t kClassName[] = L"frmDefinicoes";
// Fixed tool window: narrow caption with only a close button, no sizing
// border, no taskbar button.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
// Posted once the window is first visible.
constexpr UINT kShownMessage = WM_APP + 1;
// Posted by a connection test when it ends, with the test's number (see
// connection_worker.h).
constexpr UINT kTestedMessage = WM_APP + 2;

// The client area's design position and size, in twips from the screen's
// top-left corner.
constexpr int kClientLeft = 2040, kClientTop = 3165, kClientWidth = 6945, kClientHeight = 3240;
// Room below the closed drop-down list for its open list.
constexpr int kListRoom = 1200;

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kTextBox = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

struct ChildSpec {
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;    // twips, within the client area
    std::optional<Control> control;  // none for the labels
};

// Creation order is the tab order; each label comes just before its field,
// so that accessibility tools name the field by it.
constexpr ChildSpec kChildren[] = {
    {L"Static", L"Servidor (Data Source):", kLabel, 0, 270, 315, 3165, 240, {}},
    {L"Edit", L"", kTextBox, WS_EX_CLIENTEDGE, 3465, 270, 3255, 285, Control::FXDataSource},
    {L"Static", L"Base de Dados (Initial Catalog):", kLabel, 0, 270, 825, 3165, 240, {}},
    {L"Edit", L"", kTextBox, WS_EX_CLIENTEDGE, 3465, 775, 3255, 285, Control::FXInitialCatalog},
    {L"Static", L"Informação (Security Info):", kLabel, 0, 270, 1335, 3165, 240, {}},
    {L"ComboBox", L"", kList, 0, 3465, 1280, 1230, 315, Control::FXSecurity_Info},
    {L"Static", L"Administrador (User):", kLabel, 0, 270, 1845, 3165, 240, {}},
    {L"Edit", L"", kTextBox, WS_EX_CLIENTEDGE, 3465, 1815, 3255, 285, Control::FXUser},
    {L"Static", L"Palavra-passe (Password):", kLabel, 0, 270, 2355, 3165, 240, {}},
    {L"Edit", L"", kTextBox | ES_PASSWORD, WS_EX_CLIENTEDGE, 3465, 2320, 3255, 285,
     Control::FXPassword},
    {L"Button", L"&OK", kButton, 0, 3915, 2790, 1365, 330, Control::Command1},
    {L"Button", L"&Cancelar", kButton, 0, 5355, 2790, 1365, 330, Control::Command2},
    {L"Button", L"&Testar ligação", kButton, 0, 270, 2790, 1815, 330, Control::Command3},
};

// Whether the label names the field by the setting's keyword: "… (Data Source):".
constexpr bool Names(const wchar_t* label, const char* keyword) {
    while (*label && *label != L'(') ++label;
    if (*label) ++label;
    while (*keyword && *label == static_cast<unsigned char>(*keyword)) ++label, ++keyword;
    return !*keyword && *label == L')';
}

constexpr bool IsDropDownList(const ChildSpec& spec) { return spec.style == kList; }

// Setting i's label and field are rows 2i and 2i + 1, the field of its kind.
constexpr bool RowsMatchTheSettings() {
    for (size_t i = 0; i < settings::kDefinicoes.size(); ++i) {
        const settings::Definicao& d = settings::kDefinicoes[i];
        const ChildSpec& field = kChildren[2 * i + 1];
        if (!Names(kChildren[2 * i].text, d.palavraChave) || field.control != ControloDe(i) ||
            IsDropDownList(field) != (d.tipo == settings::Tipo::Lista) ||
            ((field.style & ES_PASSWORD) != 0) != (d.tipo == settings::Tipo::PalavraPasse))
            return false;
    }
    return true;
}
static_assert(RowsMatchTheSettings());

// Child window identifiers: kFirstId + position in kChildren. None is IDOK
// or IDCANCEL, which the dialog manager sends for Enter and Escape.
constexpr int kFirstId = 100;

// The control's position in kChildren.
size_t IndexOf(Control control) {
    for (size_t i = 0; i < std::size(kChildren); ++i)
        if (kChildren[i].control == control) return i;
    return 0;  // every Control has a row: not reached
}

int IdOf(Control control) { return kFirstId + static_cast<int>(IndexOf(control)); }

// A control's rectangle in the client area, in pixels at `dpi`; the
// drop-down list's includes the room for its open list.
RECT ChildRect(const ChildSpec& spec, UINT dpi) {
    const int height = spec.height + (IsDropDownList(spec) ? kListRoom : 0);
    const int left = Twips(spec.left, dpi), top = Twips(spec.top, dpi);
    return RECT{left, top, left + Twips(spec.width, dpi), top + Twips(height, dpi)};
}

// The outer rectangle that puts the client area at its design place.
RECT DesignRect(UINT dpi) {
    const int left = Twips(kClientLeft, dpi), top = Twips(kClientTop, dpi);
    RECT rect{left, top, left + Twips(kClientWidth, dpi), top + Twips(kClientHeight, dpi)};
    AdjustWindowRectForDpi(&rect, kStyle, kExStyle, dpi);
    return rect;
}

void MoveTo(HWND hwnd, const RECT& rect, UINT flags = 0) {
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog manager's default font (the face of DS_SHELLFONT dialogs),
// 8 points at `dpi`.
HFONT CreateDialogFont(UINT dpi) {
    return CreateFontW(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg 2");
}

}  // namespace

frmDefinicoesWindow::~frmDefinicoesWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool frmDefinicoesWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    // Placed at the system DPI first; WM_CREATE corrects it for the monitor.
    const RECT rect = DesignRect(DpiOf(nullptr));
    CreateWindowExW(kExStyle, kClassName, Widen(settings::kTitulo).c_str(), kStyle, rect.left,
                    rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                    instance, this);
    return hwnd_ != nullptr;
}

void frmDefinicoesWindow::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    PostMessageW(hwnd_, kShownMessage, 0, 0);
}

LRESULT CALLBACK frmDefinicoesWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    auto* self = reinterpret_cast<frmDefinicoesWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<frmDefinicoesWindow*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    // An exception must not unwind through the system's frames: it is
    // shown as "Erro N: ..." here, and the window stays open.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        MostrarFalhaEmCurso();
        return 0;
    }
}

LRESULT frmDefinicoesWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = hwnd_;
    switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE: logic_.Form_Close(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_NCDESTROY: OnNcDestroy(); break;
    case kShownMessage: logic_.Form_Shown(); return 0;
    case kTestedMessage:
        if (const auto outcome = test_.Take(wParam)) logic_.Command3_Done(*outcome);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool frmDefinicoesWindow::OnCreate() {
    dpi_ = DpiOf(hwnd_);
    // Create placed it at the system DPI; moving a top-level window costs a
    // round trip to the display, so only when its monitor's DPI differs.
    if (dpi_ != DpiOf(nullptr)) MoveTo(hwnd_, DesignRect(dpi_));
    CreateControls();
    return std::all_of(children_.begin(), children_.end(), [](HWND h) { return h != nullptr; });
}

void frmDefinicoesWindow::OnCommand(int id, int code) {
    if (id == IDOK) {
        // Enter, from the dialog manager: there is no default button, so
        // Enter presses a button only when that button has the focus.
        const HWND focus = GetFocus();
        if (focus == Child(Control::Command1) || focus == Child(Control::Command2) ||
            focus == Child(Control::Command3))
            OnCommand(GetDlgCtrlID(focus), BN_CLICKED);
    }
    // IDCANCEL (Escape) does nothing: "&Cancelar" is not the dialog
    // manager's cancel button, so only a click or Enter on it cancels.
    if (code != BN_CLICKED) return;
    if (id == IdOf(Control::Command1)) logic_.Command1_Click();
    if (id == IdOf(Control::Command2)) logic_.Command2_Click();
    if (id == IdOf(Control::Command3)) logic_.Command3_Click();
}

void frmDefinicoesWindow::OnActivate(bool active) {
    // A plain window does not remember its focused control across
    // deactivation as a dialog does; keep it here.
    if (active) {
        if (focus_) ::SetFocus(focus_);
    } else {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focus_ = focus;
    }
}

void frmDefinicoesWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    MoveTo(hwnd_, suggested);
    LayoutControls();
}

void frmDefinicoesWindow::OnNcDestroy() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    children_.fill(nullptr);
    focus_ = nullptr;
}

void frmDefinicoesWindow::CreateControls() {
    static_assert(std::size(kChildren) == kChildCount);
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    // Each control is born at its place and with its font, while the
    // window is still hidden: nothing to move or redraw before it shows.
    font_.reset(CreateDialogFont(dpi_));
    for (size_t i = 0; i < children_.size(); ++i) {
        const ChildSpec& spec = kChildren[i];
        const RECT rect = ChildRect(spec, dpi_);
        children_[i] = CreateWindowExW(
            spec.exStyle, spec.windowClass, spec.text, spec.style, rect.left, rect.top,
            rect.right - rect.left, rect.bottom - rect.top, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)), instance, nullptr);
        SendMessageW(children_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    // No practical limit on the text boxes' length (0 means the largest).
    for (size_t i = 0; i < settings::kDefinicoes.size(); ++i)
        if (settings::kDefinicoes[i].tipo != settings::Tipo::Lista)
            SendMessageW(Child(ControloDe(i)), EM_SETLIMITTEXT, 0, 0);
    // Common Controls 6 masks with a dot by default; this field shows "*".
    const HWND password = Child(Control::FXPassword);
    SendMessageW(password, EM_SETPASSWORDCHAR, L'*', 0);
    ImmAssociateContext(password, nullptr);  // no input-method editor
    focus_ = Child(Control::FXDataSource);
}

void frmDefinicoesWindow::LayoutControls() {
    Owned<HFONT, DeleteObject> font(CreateDialogFont(dpi_));
    for (size_t i = 0; i < children_.size(); ++i) {
        const RECT rect = ChildRect(kChildren[i], dpi_);
        MoveWindow(children_[i], rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, TRUE);
        SendMessageW(children_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    font_ = std::move(font);
}

HWND frmDefinicoesWindow::Child(Control control) const { return children_[IndexOf(control)]; }

std::string frmDefinicoesWindow::Text(Control control) const {
    return std::string(SecretText(control).view());
}

platform::Secret frmDefinicoesWindow::SecretText(Control control) const {
    const HWND child = Child(control);
    platform::WideSecret wide;
    wide.Resize(static_cast<size_t>(GetWindowTextLengthW(child)) + 1);
    const int length = GetWindowTextW(child, wide.data(), static_cast<int>(wide.size()));
    wide.Truncate(static_cast<size_t>(std::max(length, 0)));
    platform::Secret utf8;
    platform::win32::Narrow(wide.view(), &utf8);
    return utf8;
}

void frmDefinicoesWindow::SetText(Control control, const std::string& utf8) {
    SetWindowTextW(Child(control), Widen(utf8).c_str());
}

void frmDefinicoesWindow::ClearList() {
    SendMessageW(Child(Control::FXSecurity_Info), CB_RESETCONTENT, 0, 0);
}

void frmDefinicoesWindow::AddListItem(const std::string& utf8) {
    const std::wstring item = Widen(utf8);
    SendMessageW(Child(Control::FXSecurity_Info), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(item.c_str()));
}

void frmDefinicoesWindow::SelectListItem(int index) {
    SendMessageW(Child(Control::FXSecurity_Info), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int frmDefinicoesWindow::SelectedListItem() const {
    const LRESULT index = SendMessageW(Child(Control::FXSecurity_Info), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void frmDefinicoesWindow::SetFocus(Control control) {
    // While hidden (during load) it is only remembered for the first activation.
    focus_ = Child(control);
    if (IsWindowVisible(hwnd_)) ::SetFocus(focus_);
}

void frmDefinicoesWindow::Enable(Control control, bool enabled) {
    const HWND child = Child(control);
    // A disabled control cannot keep the focus, and the keyboard would be
    // left with nowhere to go.
    if (!enabled && GetFocus() == child) ::SetFocus(GetNextDlgTabItem(hwnd_, child, FALSE));
    EnableWindow(child, enabled);
}

void frmDefinicoesWindow::TestConnection(connection::Target target) {
    test_.Start(hwnd_, kTestedMessage, std::move(target), connection::kDefaultLoginTimeoutSeconds);
}

void frmDefinicoesWindow::Unload() {
    if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace app
