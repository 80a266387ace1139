// What a dialog may know of the main window and tell it. The dialogs know
// only this, so the main window creates them without either knowing the
// other, and the arrows run from the main window to the dialogs.
#pragma once

#include "compare/wording.h"
#include "image/image_file.h"
#include "image/open_image.h"
#include "image/outcome.h"
#include "ui/ui_services.h"

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vardane::ui {

// Who wrote into the image: the checksum row then says what a verification
// would say, in that writer's words.
enum class Writer { checksum, clock, sideBand, header };

class DialogHost {
public:
    // The facts of the image on show, as its file was last read.
    [[nodiscard]] virtual const ImageFacts& facts() const = 0;
    // A row of the main window as it shows it.
    [[nodiscard]] virtual std::string shownRow(FactKey key) const = 0;
    // Changes at every Open, Close and restore, and at nothing else; none
    // while no image is open. A dialog compares it with the one it loaded
    // under to tell that its image is gone.
    [[nodiscard]] virtual std::optional<std::uint64_t> imageOnShow() const = 0;
    [[nodiscard]] virtual UiServices& services() const = 0;
    // Told once a write and its confirmation are over: the main window reads
    // the file again and shows it.
    virtual void imageWritten(Writer writer) = 0;
    // Told that a read or a write of the image was refused; gives the words of
    // the refusal's one box. A file that another program changed is first
    // read again and shown as it now is; one that another file has replaced
    // under its name is read no more.
    [[nodiscard]] virtual QString imageRefused(Refusal why) = 0;
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
// image it was loaded on and to its file. As a dialog, Return presses its
// default button from any control and Escape closes it. It reaches its host
// only while the host's window lives: Exit closes the main window and may
// leave it open.
class HostedDialog : public QDialog {
public:
    HostedDialog(DialogHost& host, KnownFile file);

    // Whether it was loaded on that image.
    [[nodiscard]] bool loadedOn(std::optional<std::uint64_t> image) const
    {
        return loadedImage_.has_value() && loadedImage_ == image;
    }

protected:
    [[nodiscard]] DialogHost* host() const { return hostWindow_ != nullptr ? host_ : nullptr; }
    // The message boxes outlive every window.
    [[nodiscard]] UiServices& services() const { return services_; }

    // The host, while it still shows the image this dialog was loaded on.
    // Otherwise the user is told that nothing was written, under the
    // dialog's title, the dialog closes, and there is none.
    [[nodiscard]] DialogHost* hostOfLoadedImage(const char* refusedTitle);

    // The file it reads and writes: the one the image on show was read from.
    [[nodiscard]] const KnownFile& file() const { return file_; }

    // Tells why a read or a write was refused, in the host's words while it
    // lives.
    void refuse(const char* title, Refusal why);
    void refuse(const char* title, const QString& text);

    // Ends a write that went through: its confirmation, when it has one, then
    // the host told while it lives (it reads the file again), then this
    // dialog closed, while it is still open: the box's modal loop may close
    // either window.
    void finishWrite(const std::function<void(DialogHost&)>& tellHost, const QString& title = {},
                     const QString& confirmation = {});

private:
    DialogHost* host_;
    KnownFile file_;
    QPointer<QWidget> hostWindow_;
    UiServices& services_;
    std::optional<std::uint64_t> loadedImage_;
};

}  // namespace vardane::ui
