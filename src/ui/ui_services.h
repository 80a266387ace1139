// The seam between the windows and the modal services they call (the file
// dialog and the message boxes), so that tests can answer them without a
// modal loop.
#pragma once

#include <QString>
#include <memory>
#include <optional>

class QTranslator;
class QWidget;

namespace vardane::ui {

enum class MessageIcon { information, critical };

class UiServices {
public:
    virtual ~UiServices() = default;

    // The chosen file's full path, as the dialog returns it; nothing when the
    // user cancelled.
    [[nodiscard]] virtual std::optional<QString> chooseFile(QWidget* parent, const QString& filter) = 0;

    // One OK button; returns when the box has been closed.
    virtual void showMessage(QWidget* parent, MessageIcon icon, const QString& title,
                             const QString& text) = 0;

    // Yes and No, No the default; true for Yes.
    [[nodiscard]] virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real dialogs of the desktop. The file dialog is the system's own on
// Windows (file_dialog_windows.cpp) and Qt's elsewhere (file_dialog_posix.cpp).
class DesktopServices final : public UiServices {
public:
    [[nodiscard]] std::optional<QString> chooseFile(QWidget* parent, const QString& filter) override;
    void showMessage(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override;
    [[nodiscard]] bool askYesNo(QWidget* parent, const QString& title, const QString& text) override;
};

// Qt's own words in French (its file dialog, where it is used, the text
// boxes' menus, the question boxes' buttons), whatever the
// user's locale, as every other word of the program is. The translator is
// installed while the result lives; without Qt's translations installed on
// the system, Qt's words stay English and nothing else changes.
[[nodiscard]] std::unique_ptr<QTranslator> speakFrench();

// A message as French typography sets it, so that a box never breaks a line
// before "?", "!", ":" or ";", nor leaves a paragraph's last word alone on
// its line. The words stay as they are.
[[nodiscard]] QString withFrenchSpacing(const QString& text);

}  // namespace vardane::ui
