// Form1, the main window: shows the facts of the open image, owns the
// ImageState for the whole run, and carries the menus.
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
    void openFile(const QString& path);

    [[nodiscard]] const ImageState& state() const override { return state_; }
    [[nodiscard]] UiServices& services() const override { return services_; }
    [[nodiscard]] std::optional<std::uint64_t> imageOnShow() const override { return imageOnShow_; }
    void showField(std::string ImageState::*field, const std::string& value) override;
    void enableChecksumCorrection() override;
    void imageWritten() override;
    void reloadImage() override;
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
    OpenStatus openChosen(const ChosenFile& chosen);
    void showOpened(const ImageFacts& opened);
    // A value label: its text, and its caption and text for a screen reader.
    void showRow(std::size_t row, const std::string& value);
    void reportFailure(Refusal refusal);

    UiServices& services_;
    ImageState state_;
    std::optional<std::uint64_t> imageOnShow_;
    std::uint64_t opensSoFar_ = 0;
    bool correctionOffered_ = false;
    // The image as it was opened, for the way back.
    std::shared_ptr<const ImageFacts> original_;

    std::array<QLabel*, kShownFields.size()> valueLabels_{};
    MenuItems items_;

    DialogSlot<SbaDialog> sbaDialog_;
    DialogSlot<HeaderDialog> headerDialog_;
    DialogSlot<ClockDialog> memClockDialog_;
    DialogSlot<ClockDialog> coreClockDialog_;
    DialogSlot<AboutDialog> aboutDialog_;
    DialogSlot<ChangesWindow> changesWindow_;
};

}  // namespace vardane::ui
