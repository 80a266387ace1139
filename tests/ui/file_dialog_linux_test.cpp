// Qt's file dialog, which the window shows on Linux (on Windows it is
// Explorer's own, which no test could answer): the seam's filters as Qt's
// choices.
#include "ui/ui_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QtTest>

class FileDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void offersTheSeamsFilters()
    {
        vardane::ui::DesktopServices desktop;
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            filters = dialog->nameFilters();
            dialog->reject();
        });
        QVERIFY(!desktop.chooseFile(nullptr, "Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*"));
        QCOMPARE(filters, (QStringList{"Fichier BIOS (*.rom)", "Tout Fichiers (*.*)"}));
    }
};

QTEST_MAIN(FileDialogTest)
#include "file_dialog_linux_test.moc"
