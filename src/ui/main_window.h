// Form1, the main window: shows the facts of the open image, owns the
// ImageState for the whole run, and carries the menus.
#pragma once

#include "image/image_state.h"
#include "ui/dialog_slot.h"
#include "ui/ui_services.h"

#include <QMainWindow>
#include <cstdint>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

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
    struct ValueFields {
        QLabel* fileTitle = nullptr;      // Text4
        QLabel* fileSize = nullptr;       // Text1
        QLabel* headerText = nullptr;     // Text2
        QLabel* versionText = nullptr;    // text3
        QLabel* gpuName = nullptr;        // Label10
        QLabel* sbaState = nullptr;       // Text5
        QLabel* memClockText = nullptr;   // Text6
        QLabel* coreClockText = nullptr;  // Text9
        QLabel* checksumText = nullptr;   // Text7
    };
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

    void switchToImageOpen();
    void switchToNoImage();
    void showOpenedFields(const ImageState& opened);
    // Sets a shown field of the ImageState and the label that shows it.
    void showField(std::string ImageState::*field, QLabel* label, const std::string& value);
    void showHiddenHolders();
    void reportOpenFailure();

    UiServices& services_;
    ImageState state_;
    bool imageOpen_ = false;
    std::uint64_t imageGeneration_ = 0;

    ValueFields fields_;
    HiddenHolders holders_;
    MenuItems items_;

    DialogSlot<SbaDialog> sbaDialog_;
    DialogSlot<HeaderDialog> headerDialog_;
    DialogSlot<ClockDialog> memClockDialog_;
    DialogSlot<ClockDialog> coreClockDialog_;
    DialogSlot<AboutDialog> aboutDialog_;
};

}  // namespace vardane::ui
