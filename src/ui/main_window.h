// Form1, the main window: shows the facts of the open image, owns the
// ImageState for the whole run, and carries the menus.
#pragma once

#include "image/image_state.h"
#include "ui/dialog_slot.h"
#include "ui/ui_services.h"

#include <QMainWindow>
#include <cstdint>
#include <string>

namespace vardane::ui {

class AboutDialog;
class ClockDialog;
class HeaderDialog;
class SbaDialog;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(UiServices& services);
    ~MainWindow() override;

    [[nodiscard]] const ImageState& state() const { return state_; }
    [[nodiscard]] UiServices& services() const { return services_; }

    // True from the moment Open accepts a file's size until Close.
    [[nodiscard]] bool imageOpen() const { return imageOpen_; }

    // Changes at every Open and every Close, so that a dialog can tell that
    // the image it loaded from is no longer the one on show.
    [[nodiscard]] std::uint64_t imageGeneration() const { return imageGeneration_; }

    // The user's locale's decimal separator, for clock texts.
    [[nodiscard]] std::string decimalSeparator() const;

    // What the dialogs write back: the ImageState field and the label showing it.
    void setSbaState(const std::string& text);
    void setMemClockText(const std::string& text);
    void setCoreClockText(const std::string& text);
    void setHeaderText(const std::string& text);
    void setChecksumText(const std::string& text);
    void enableChecksumCorrection();

private:
    UiServices& services_;
    ImageState state_;
    bool imageOpen_ = false;
    std::uint64_t imageGeneration_ = 0;
};

}  // namespace vardane::ui
