#include "ui/dialog_host.h"

#include "qt/qt_text.h"
#include "ui/texts.h"

#include <utility>

namespace vardane::ui {

namespace {

constexpr const char* kMainWindowGoneText =
    "La fenêtre principale est fermée : aucune image n'est ouverte.\nLe fichier n'a pas été modifié.";
constexpr const char* kImageGoneText =
    "Cette fenêtre a été ouverte sur une image qui n'est plus affichée : elle a été fermée, une autre a été "
    "ouverte, ou son original a été rétabli.\nLe fichier n'a pas été modifié.";

}  // namespace

HostedDialog::HostedDialog(DialogHost& host, KnownFile file)
    : host_(&host),
      file_(std::move(file)),
      hostWindow_(host.hostWindow()),
      services_(host.services()),
      loadedImage_(host.imageOnShow())
{
}

DialogHost* HostedDialog::hostOfLoadedImage(const char* refusedTitle)
{
    DialogHost* main = host();
    if (main != nullptr && loadedOn(main->imageOnShow())) {
        return main;
    }
    refuse(refusedTitle, qtText(main == nullptr ? kMainWindowGoneText : kImageGoneText));
    close();
    return nullptr;
}

void HostedDialog::refuse(const char* title, Refusal why)
{
    DialogHost* main = host();
    refuse(title, main != nullptr ? main->imageRefused(why) : refusalText(why));
}

void HostedDialog::finishWrite(const std::function<void(DialogHost&)>& tellHost, const QString& title,
                               const QString& confirmation)
{
    const QPointer<HostedDialog> self(this);
    DialogHost* main = host();
    const QPointer<QWidget> mainWindow = main != nullptr ? main->hostWindow() : nullptr;
    if (!confirmation.isEmpty()) {
        services_.showMessage(this, MessageIcon::information, title, confirmation);
    }
    if (mainWindow != nullptr) {
        tellHost(*main);
    }
    if (self != nullptr) {
        close();
    }
}

void HostedDialog::refuse(const char* title, const QString& text)
{
    services_.showMessage(this, MessageIcon::critical, qtText(title), text);
}

}  // namespace vardane::ui
