// A main window whose file dialog and message boxes are answered by
// FakeServices, driven as a user drives it: through its menu items.
#pragma once

#include "fake_services.h"
#include "test_image.h"
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QString>

namespace vardane::test {

class UiSession {
public:
    UiSession() : window_(new ui::MainWindow(services)) { window_->show(); }
    ~UiSession()
    {
        QApplication::closeAllWindows();
        flushDeletes();
        delete window_.data();
        // Dialogs have no parent; each session starts without any.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName().startsWith("frm")) {
                delete widget;
            }
        }
    }
    UiSession(const UiSession&) = delete;
    UiSession& operator=(const UiSession&) = delete;

    FakeServices services;

    // Null once the main window has been closed: it deletes itself.
    [[nodiscard]] ui::MainWindow* window() const { return window_.data(); }

    void trigger(const char* item) const { window_->findChild<QAction*>(item)->trigger(); }
    [[nodiscard]] bool enabled(const char* item) const { return window_->findChild<QAction*>(item)->isEnabled(); }
    [[nodiscard]] QString shown(const char* label) const { return window_->findChild<QLabel*>(label)->text(); }

    // Open, with the file dialog answering this file.
    void open(const TempFile& file)
    {
        services.fileAnswers.push_back(ui::ChosenFile{QString::fromStdString(file.path().string()),
                                                      QString::fromStdString(file.path().filename().string())});
        trigger("Ouvrir");
    }

    void closeMainWindow()
    {
        window_->close();
        flushDeletes();
    }

    // The menu item that shows a dialog, then that dialog if it is on screen.
    [[nodiscard]] QWidget* showDialog(const char* item, const char* dialogName) const
    {
        flushDeletes();
        trigger(item);
        return dialog(dialogName);
    }

    [[nodiscard]] static QWidget* dialog(const char* name)
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == name && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    // A closed window is deleted when the event loop next runs, as it does
    // between two clicks of a real user.
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private:
    QPointer<ui::MainWindow> window_;
};

}  // namespace vardane::test
