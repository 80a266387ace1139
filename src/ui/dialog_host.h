// What a dialog may know of the main window and tell it. The dialogs know
// only this, so the main window creates them without either knowing the
// other, and the arrows run from the main window to the dialogs.
#pragma once

#include "image/open_image.h"
#include "image/outcome.h"
#include "ui/ui_services.h"

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vardane::ui {

// Who wrote into the image: the checksum row then says what a verification
// would say, in that writer's words.
enum class Writer { clock, sideBand, header };

class DialogHost {
public:
    // The facts of the image on show, as its file was last read.
    [[nodiscard]] virtual const ImageFacts& facts() const = 0;
    // A row of the main window as it shows it, by the key of its fact.
    [[nodiscard]] virtual std::string shownRow(std::string_view key) const = 0;
    // Changes at every Open, Close and restore, and at nothing else; none
    // while no image is open. A dialog compares it with the one it loaded
    // under to tell that its image is gone.
    [[nodiscard]] virtual std::optional<std::uint64_t> imageOnShow() const = 0;
    [[nodiscard]] virtual UiServices& services() const = 0;
    // Told once a write and its confirmation are over: the main window reads
    // the file again and shows it.
    virtual void imageWritten(Writer writer) = 0;
    // Told when a write was refused because the file had changed since it
    // was read: the main window shows the file as it now is.
    virtual void imageChangedElsewhere() = 0;
    // Told when the file holds the bytes of the opening again: the main
    // window shows it as after an Open.
    virtual void imageRestored() = 0;
    // The host's own window, which the dialogs may outlive.
    [[nodiscard]] virtual QWidget* hostWindow() = 0;

protected:
    DialogHost() = default;
    ~DialogHost() = default;
    DialogHost(const DialogHost&) = default;
    DialogHost& operator=(const DialogHost&) = default;
};

// A modeless dialog of the image on show, a window of its own, bound to the
// image it was loaded on. As a dialog, Return presses its default button from
// any control and Escape closes it. It reaches its host only while the host's
// window lives: Exit closes the main window and may leave it open.
class HostedDialog : public QDialog {
public:
    explicit HostedDialog(DialogHost& host);

protected:
    [[nodiscard]] DialogHost* host() const { return hostWindow_ != nullptr ? host_ : nullptr; }
    // The message boxes outlive every window.
    [[nodiscard]] UiServices& services() const { return services_; }

    // The host, while it still shows the image this dialog was loaded on.
    // Otherwise the user is told that nothing was written, under the
    // dialog's title, the dialog closes, and there is none.
    [[nodiscard]] DialogHost* hostOfLoadedImage(const char* refusedTitle);

    // Tells why a write was refused. A file changed behind the window's back
    // is first shown as it now is.
    void refuse(const char* title, Refusal why);
    void refuse(const char* title, const QString& text);

private:
    DialogHost* host_;
    QPointer<QWidget> hostWindow_;
    UiServices& services_;
    std::optional<std::uint64_t> loadedImage_;
};

}  // namespace vardane::ui
