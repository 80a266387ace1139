// Form1, the main window: shows the facts of the open image, owns the
// ImageState for the whole run, and carries the menus.
#pragma once

#include "checksum/checksum.h"
#include "image/image_state.h"
#include "image/open_image.h"
#include "ui/dialog_host.h"
#include "ui/dialog_slot.h"
#include "ui/ui_services.h"

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QDragEnterEvent;
class QDropEvent;

namespace vardane::ui {

class AboutDialog;
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
    [[nodiscard]] QWidget* hostWindow() override { return this; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct HiddenHolders {
        QLineEdit* StK1 = nullptr;
        QLabel* SBAVrt = nullptr;       // Label11
        QLabel* Octclef = nullptr;      // Label12
        QLabel* headerlengh = nullptr;  // Label13
    };
    struct MenuItems {
        QAction* Ouvrir = nullptr;
        QAction* Save = nullptr;
        QAction* SaveAS = nullptr;
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
    QAction* addItem(QMenu* menu, const char* objectName, const char* caption, bool enabled);

    void Ouvrir_Click();
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
    void switchToImageOpen();
    void switchToNoImage();
    void showOpenedFields(const ImageState& opened);
    void showHiddenHolders();
    void reportOpenFailure();
    void reportChecksumFailure(ChecksumError error);

    UiServices& services_;
    ImageState state_;
    std::optional<std::uint64_t> imageOnShow_;
    std::uint64_t opensSoFar_ = 0;

    // Each shown field of the ImageState with the label that shows it.
    std::array<std::pair<std::string ImageState::*, QLabel*>, 9> valueLabels_{};
    HiddenHolders holders_;
    MenuItems items_;

    DialogSlot<SbaDialog> sbaDialog_;
    DialogSlot<HeaderDialog> headerDialog_;
    DialogSlot<ClockDialog> memClockDialog_;
    DialogSlot<ClockDialog> coreClockDialog_;
    DialogSlot<AboutDialog> aboutDialog_;
};

}  // namespace vardane::ui
