// frmSBA: shows the SideBand Addressing state and toggles it.
#pragma once

#include <QPointer>
#include <QWidget>

namespace vardane::ui {

class MainWindow;

class SbaDialog : public QWidget {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the main window's sbaState.
    explicit SbaDialog(MainWindow& mainWindow);

private:
    QPointer<MainWindow> mainWindow_;
};

}  // namespace vardane::ui
