// The seam between the windows and the modal services they call (the file
// dialog and the message box), so that tests can answer them without a
// modal loop.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace vardane::ui {

struct ChosenFile {
    QString path;   // full path, as the dialog returns it
    QString title;  // the file name without its folder
};

enum class MessageIcon { information, critical };

class UiServices {
public:
    virtual ~UiServices() = default;

    // Nothing when the user cancelled.
    [[nodiscard]] virtual std::optional<ChosenFile> chooseFile(QWidget* parent, const QString& filter) = 0;

    // One OK button; returns when the box has been closed.
    virtual void showMessage(QWidget* parent, MessageIcon icon, const QString& title,
                             const QString& text) = 0;
};

// The real dialogs of the desktop.
class DesktopServices final : public UiServices {
public:
    [[nodiscard]] std::optional<ChosenFile> chooseFile(QWidget* parent, const QString& filter) override;
    void showMessage(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override;
};

}  // namespace vardane::ui
