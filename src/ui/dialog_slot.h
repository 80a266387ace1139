// Holds the one instance of a modeless dialog: a top-level window with no
// parent, deleted when it closes. Showing it again while it is open raises it
// without running its load step again.
#pragma once

#include <QPointer>
#include <QWidget>
#include <utility>

namespace vardane::ui {

template <typename Dialog>
class DialogSlot {
public:
    // makeLoaded() creates the dialog and runs its load step; it is called only
    // when no instance is open. It may return nullptr when the dialog refuses
    // to open.
    template <typename Factory>
    Dialog* show(Factory&& makeLoaded)
    {
        // A dialog closed a moment ago is only deleted once the event loop
        // runs again; it is gone all the same and must load afresh.
        if (dialog_ != nullptr && !dialog_->isVisible()) {
            dialog_ = nullptr;
        }
        if (dialog_ == nullptr) {
            dialog_ = std::forward<Factory>(makeLoaded)();
            if (dialog_ == nullptr) {
                return nullptr;
            }
            dialog_->setAttribute(Qt::WA_DeleteOnClose);
        }
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
        return dialog_;
    }

    [[nodiscard]] Dialog* current() const { return dialog_; }

private:
    QPointer<Dialog> dialog_;
};

}  // namespace vardane::ui
