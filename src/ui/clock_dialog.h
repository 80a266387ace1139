// frmfreqmem and frmfreqCore: one dialog, two clock profiles.
#pragma once

#include "editors/clock.h"

#include <QPointer>
#include <QWidget>

namespace vardane::ui {

class MainWindow;

class ClockDialog : public QWidget {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the main window's clock text.
    ClockDialog(const ClockProfile& profile, MainWindow& mainWindow);

private:
    const ClockProfile& profile_;
    QPointer<MainWindow> mainWindow_;
};

}  // namespace vardane::ui
