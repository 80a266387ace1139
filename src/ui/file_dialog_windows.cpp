#include "ui/ui_services.h"

#include <QStringList>
#include <QWidget>

#include <windows.h>

#include <shobjidl.h>

#include <memory>
#include <string>
#include <vector>

namespace vardane::ui {
namespace {

// COM on this thread while the dialog lives. Qt has most often set it up
// already, which this counts once more and gives back.
class ComApartment {
public:
    ComApartment() : started_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(started_)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // A thread already in another apartment serves as well.
    [[nodiscard]] bool ready() const { return SUCCEEDED(started_) || started_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT started_;
};

struct Release {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using Com = std::unique_ptr<Interface, Release>;

// The seam's "label|patterns|label|patterns", as Windows wants it: a label
// and its patterns apart, each pair pointing into the texts kept here.
class FileTypes {
public:
    explicit FileTypes(const QString& filter)
    {
        const QStringList parts = filter.split('|');
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            texts_.push_back(parts[i].toStdWString());
            texts_.push_back(parts[i + 1].toStdWString());
        }
        for (std::size_t i = 0; i < texts_.size(); i += 2) {
            types_.push_back({texts_[i].c_str(), texts_[i + 1].c_str()});
        }
    }
    FileTypes(const FileTypes&) = delete;
    FileTypes& operator=(const FileTypes&) = delete;

    [[nodiscard]] UINT count() const { return static_cast<UINT>(types_.size()); }
    [[nodiscard]] const COMDLG_FILTERSPEC* types() const { return types_.data(); }

private:
    std::vector<std::wstring> texts_;
    std::vector<COMDLG_FILTERSPEC> types_;
};

std::optional<QString> pathOf(IShellItem& item)
{
    PWSTR path = nullptr;
    if (FAILED(item.GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return std::nullopt;
    }
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(path, &CoTaskMemFree);
    return QString::fromWCharArray(path);
}

}  // namespace

// Explorer's own dialog, as the user knows it (Quick Access, OneDrive, the
// network), in the user's Windows language; Qt's would write its history
// into the registry. Cancelled, or failed, it gives nothing.
std::optional<QString> DesktopServices::chooseFile(QWidget* parent, const QString& filter)
{
    const ComApartment com;
    IFileOpenDialog* created = nullptr;
    if (!com.ready() || FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&created)))) {
        return std::nullopt;
    }
    const Com<IFileOpenDialog> dialog(created);
    FILEOPENDIALOGOPTIONS options = 0;
    const FileTypes types(filter);
    if (FAILED(dialog->GetOptions(&options)) ||
        FAILED(dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST |
                                  FOS_NOCHANGEDIR)) ||
        FAILED(dialog->SetFileTypes(types.count(), types.types()))) {
        return std::nullopt;
    }
    const HWND owner = parent == nullptr ? nullptr : reinterpret_cast<HWND>(parent->window()->winId());
    IShellItem* chosen = nullptr;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&chosen))) {
        return std::nullopt;
    }
    const Com<IShellItem> item(chosen);
    return pathOf(*item);
}

}  // namespace vardane::ui
