// Form1, the main window: shows the facts of the image on show as its file
// holds them, owns the ImageState for the whole run, and carries the menus.
#pragma once

#include "image/image_state.h"
#include "image/open_image.h"
#include "image/outcome.h"
#include "ui/dialog_host.h"
#include "ui/dialog_slot.h"
#include "ui/ui_services.h"

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QDragEnterEvent;
class QDropEvent;

namespace vardane::ui {

class AboutDialog;
class ChangesWindow;
class ClockDialog;
class HeaderDialog;
class SbaDialog;

class MainWindow : public QMainWindow, public DialogHost {
    Q_OBJECT

public:
    explicit MainWindow(UiServices& services);
    ~MainWindow() override;

    // Opens a file named from outside the file dialog (the command line, a
    // drop) as Open does once its dialog has returned that path.
    void openFile(const std::filesystem::path& path);

    [[nodiscard]] const ImageState& state() const { return state_; }

    [[nodiscard]] const ImageFacts& facts() const override { return state_.facts; }
    [[nodiscard]] std::string shownRow(FactKey key) const override;
    [[nodiscard]] std::optional<std::uint64_t> imageOnShow() const override { return imageOnShow_; }
    [[nodiscard]] UiServices& services() const override { return services_; }
    void imageWritten(Writer writer) override;
    [[nodiscard]] QString imageRefused(Refusal why) override;
    void imageRestored() override;
    [[nodiscard]] QWidget* hostWindow() override { return this; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct MenuItems {
        QAction* Ouvrir = nullptr;
        QAction* Save = nullptr;
        QAction* SaveAS = nullptr;
        QAction* mnuchanges = nullptr;
        QAction* mnuClose = nullptr;
        QAction* exit = nullptr;
        QAction* sba = nullptr;
        QAction* mnuheader = nullptr;
        QAction* memfreq = nullptr;
        QAction* corefreq = nullptr;
        QAction* mnucheckvalid = nullptr;
        QAction* mnucorrcheck = nullptr;
        QAction* about = nullptr;
    };

    void buildClientArea();
    void buildMenus();
    QMenu* addMenu(const char* objectName, const char* caption);
    QAction* addItem(QMenu* menu, const char* objectName, const char* caption);
    // Every menu item's state, from whether an image is open and whether the
    // correction is offered.
    void updateActions();
    // Every row, from the ImageState.
    void showRows();

    void Ouvrir_Click();
    void mnuchanges_Click();
    void mnuClose_Click();
    void exit_Click();
    void sba_Click();
    void mnuheader_Click();
    void memfreq_Click();
    void corefreq_Click();
    void mnucheckvalid_Click();
    void mnucorrcheck_Click();
    void about_Click();

    // Open once a file is chosen; the caller asks again after a rejection.
    OpenStatus openChosen(const std::filesystem::path& path);
    // The file on show, while the window can read and write it: none, and the
    // user told why, when Open could not read it or another file has since
    // taken its name.
    [[nodiscard]] std::optional<KnownFile> fileToActOn();
    // The dialog of the image on show, a fresh one in place of one loaded on
    // another image; none when the file cannot be acted on.
    template <typename Dialog, typename Make>
    Dialog* showDialog(DialogSlot<Dialog>& slot, Make make);
    // The file on show read again and shown, and listed beside the original;
    // when it cannot be, why, with the rows kept as last read.
    [[nodiscard]] Outcome<void> readAgain();
    void tellReadAgainFailed(Refusal why);
    // From now on, nothing more is read from or written to the file's name.
    void markReplaced();
    void setChecksum(ChecksumState state, bool offerCorrection);
    void showProblem(const QString& text);

    UiServices& services_;
    ImageState state_;
    std::optional<std::uint64_t> imageOnShow_;
    std::uint64_t opensSoFar_ = 0;
    bool correctionOffered_ = false;
    bool replaced_ = false;  // another file has taken the name of the one on show
    // The image as it was opened, for the way back.
    std::shared_ptr<const ImageFacts> original_;

    std::array<QLabel*, 9> valueLabels_{};
    MenuItems items_;

    DialogSlot<SbaDialog> sbaDialog_;
    DialogSlot<HeaderDialog> headerDialog_;
    DialogSlot<ClockDialog> memClockDialog_;
    DialogSlot<ClockDialog> coreClockDialog_;
    DialogSlot<AboutDialog> aboutDialog_;
    DialogSlot<ChangesWindow> changesWindow_;
};

}  // namespace vardane::ui
