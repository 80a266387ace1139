// frmheader: rewrites the header field of the open image.
#pragma once

#include <QPointer>
#include <QWidget>

namespace vardane::ui {

class MainWindow;

class HeaderDialog : public QWidget {
    Q_OBJECT

public:
    // Runs the load step; when the image has no usable header field it tells
    // the user why and returns nullptr, and no dialog opens.
    [[nodiscard]] static HeaderDialog* load(MainWindow& mainWindow);

private:
    explicit HeaderDialog(MainWindow& mainWindow);
    QPointer<MainWindow> mainWindow_;
};

}  // namespace vardane::ui
