// frmheader: rewrites the header field of the open image.
#pragma once

#include "editors/header.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>

class QLineEdit;

namespace vardane::ui {

class MainWindow;

class HeaderDialog : public QWidget {
    Q_OBJECT

public:
    // Runs the load step; when the image has no usable header field it tells
    // the user why and returns nullptr, and no dialog opens.
    [[nodiscard]] static HeaderDialog* load(MainWindow& mainWindow);

private:
    HeaderDialog(MainWindow& mainWindow, HeaderField field);

    void Command1_Click();
    [[nodiscard]] bool imageStillOnShow() const;
    void refuse(HeaderError error);

    QPointer<MainWindow> mainWindow_;
    // The image the field was found in: its width means nothing in another.
    std::uint64_t imageGeneration_;
    HeaderField field_;
    // Text1 as loaded; while it is unchanged the loaded bytes are written back
    // as they are, including those the box cannot hold.
    QString loadedText_;
    QLineEdit* text1_ = nullptr;
};

}  // namespace vardane::ui
