// A window double for the dialog's logic: keeps the controls' texts, the
// list, the focus, whether the window was unloaded, the disabled buttons and
// the connection tests started.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/dialog_view.h"

namespace fakes {

class FakeDialogView : public app::DialogView {
public:
    using Control = app::Control;

    std::string Text(Control c) const override {
        const auto t = texts.find(c);
        return t == texts.end() ? std::string() : t->second;
    }
    platform::Secret SecretText(Control c) const override { return platform::Secret(Text(c)); }
    void SetText(Control c, const std::string& utf8) override {
        texts[c] = utf8;
        setTextLog.push_back(c);
    }
    void ClearList() override {
        items.clear();
        selected = -1;
    }
    void AddListItem(const std::string& utf8) override { items.push_back(utf8); }
    void SelectListItem(int index) override { selected = index; }
    int SelectedListItem() const override { return selected; }
    void SetFocus(Control c) override { focus = c; }
    void Unload() override { unloaded = true; }
    void Enable(Control c, bool enabled) override {
        if (enabled)
            disabled.erase(c);
        else
            disabled.insert(c);
    }
    void TestConnection(connection::Target target) override { tests.push_back(std::move(target)); }

    // What a person typing into a field does: the text changes.
    void Type(Control c, const std::string& utf8) { SetText(c, utf8); }

    std::map<Control, std::string> texts;
    std::vector<Control> setTextLog;
    std::vector<std::string> items;
    int selected = -1;
    Control focus = Control::FXDataSource;
    bool unloaded = false;
    std::set<Control> disabled;
    std::vector<connection::Target> tests;  // started, in order
};

}  // namespace fakes
