// "Modifications de l'image": what this session changed in the image, from
// the bytes kept at opening against the file as it is now, and the way back.
#pragma once

#include "image/open_image.h"
#include "ui/dialog_host.h"

#include <cstdint>
#include <memory>
#include <vector>

class QListWidget;
class QPushButton;

namespace vardane::ui {

class ChangesWindow : public HostedDialog {
    Q_OBJECT

public:
    ChangesWindow(DialogHost& host, const KnownFile& file, std::shared_ptr<const ImageFacts> original);

    // Lists what differs between the image as opened and the file as read now.
    void list(const ImageFacts& now);

private:
    void Command1_Click();

    std::shared_ptr<const ImageFacts> original_;
    // The file as the list last read it: the restore writes only over these.
    std::vector<std::uint8_t> lastRead_;
    QListWidget* list1_ = nullptr;
    QPushButton* command1_ = nullptr;
};

}  // namespace vardane::ui
