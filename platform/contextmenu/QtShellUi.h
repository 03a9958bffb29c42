// SPDX-License-Identifier: MIT
#pragma once
// The dialogs that context-menu verbs show, as Qt widgets: message boxes,
// a name prompt, the clipboard, an application prompt and the properties
// dialog. Each is modal to the parent window. Once that window is gone
// (destroyed while a dialog was open, say) nothing more is shown: questions
// answer as if cancelled.

#include "platform/namespace/ContextMenu.h"

#include <QPointer>
#include <QWidget>

namespace dw::platform {

class QtShellUi : public IShellUi {
public:
    explicit QtShellUi(QWidget* parent);

    bool confirm(const std::string& title, const std::string& question) override;
    void showError(const std::string& title, const std::string& message) override;
    bool askText(const std::string& title, const std::string& label, std::string& text) override;
    void copyText(const std::string& text) override;
    bool chooseApplication(const std::string& path, std::vector<std::string>& command) override;
    void showProperties(const std::vector<std::string>& paths) override;

private:
    bool windowGone() const;

    QPointer<QWidget> parent_;
    bool hadParent_;
};

} // namespace dw::platform
