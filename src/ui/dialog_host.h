// What a dialog may read of the main window and change in it. The dialogs
// know only this, so the main window creates them without either knowing the
// other, and a test can stand in for it.
#pragma once

#include "image/image_state.h"
#include "ui/ui_services.h"

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <optional>
#include <string>

namespace vardane::ui {

class DialogHost {
public:
    [[nodiscard]] virtual const ImageState& state() const = 0;
    [[nodiscard]] virtual UiServices& services() const = 0;
    // Changes at every Open; none while no image is open. A dialog compares
    // it with the one it loaded under to tell that its image is gone.
    [[nodiscard]] virtual std::optional<std::uint64_t> imageOnShow() const = 0;
    // Sets a shown field of the ImageState and the label that shows it.
    virtual void showField(std::string ImageState::*field, const std::string& value) = 0;
    virtual void enableChecksumCorrection() = 0;
    // Told after every write into the image, so what shows the file follows it.
    virtual void imageWritten() = 0;
    // Shows what a fresh Open of the image's file would show, as after an
    // Open: the file was put back as it was opened.
    virtual void reloadImage() = 0;
    // The host's own window, which the dialogs may outlive.
    [[nodiscard]] virtual QWidget* hostWindow() = 0;

protected:
    DialogHost() = default;
    ~DialogHost() = default;
    DialogHost(const DialogHost&) = default;
    DialogHost& operator=(const DialogHost&) = default;
};

// A modeless dialog of the open image, a window of its own. As a dialog,
// Return presses its default button from any control and Escape closes it.
// It reaches its host only while the host's window lives: Exit closes the
// main window and may leave it open.
class HostedDialog : public QDialog {
public:
    explicit HostedDialog(DialogHost& host)
        : host_(&host), hostWindow_(host.hostWindow()), services_(host.services())
    {
    }

protected:
    [[nodiscard]] DialogHost* host() const { return hostWindow_ != nullptr ? host_ : nullptr; }
    // The message boxes outlive every window.
    [[nodiscard]] UiServices& services() const { return services_; }

private:
    DialogHost* host_;
    QPointer<QWidget> hostWindow_;
    UiServices& services_;
};

}  // namespace vardane::ui
