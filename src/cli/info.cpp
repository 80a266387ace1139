#include "checksum/checksum.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/texts.h"
#include "image/open_image.h"
#include "qt/qt_text.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <array>
#include <optional>

namespace vardane::cli {
namespace {

struct Facts {
    OpenResult opened;
    std::optional<std::uint8_t> sum;  // none when the region cannot be summed
};

std::string_view statusName(OpenStatus status)
{
    switch (status) {
        case OpenStatus::accepted:
            return "accepted";
        case OpenStatus::failed:
            return "failed";
        case OpenStatus::rejected:
            return "rejected";
        case OpenStatus::unreadable:
            break;
    }
    return "unreadable";
}

// The text the window shows in its message box, none when the open went through.
std::optional<std::string_view> openMessage(OpenStatus status)
{
    switch (status) {
        case OpenStatus::accepted:
            return std::nullopt;
        case OpenStatus::rejected:
            return kNotAnImageMessage;
        case OpenStatus::failed:
        case OpenStatus::unreadable:
            break;
    }
    return kOpenFailedMessage;
}

Facts gather(const std::filesystem::path& path, const std::string& decimalSeparator)
{
    Facts facts{openImage(path, decimalSeparator), std::nullopt};
    const OpenStatus status = facts.opened.status;
    if (status == OpenStatus::accepted || status == OpenStatus::failed) {
        const auto sum = verifyChecksum(path);
        if (sum) {
            facts.sum = *sum;
        }
    }
    return facts;
}

template <typename Integer>
QJsonValue integerOrNull(const std::optional<Integer>& value)
{
    return value ? QJsonValue(static_cast<qint64>(*value)) : QJsonValue(QJsonValue::Null);
}

QJsonObject toJson(const Facts& facts)
{
    const ImageState& state = facts.opened.state;
    const auto message = openMessage(facts.opened.status);
    QJsonObject object{
        {"status", qtText(statusName(facts.opened.status))},
        {"message", message ? QJsonValue(qtText(*message)) : QJsonValue(QJsonValue::Null)},
        {"fileTitle", qtText(state.fileTitle)},
        {"fileSize", qtText(state.fileSize)},
        {"headerText", qtText(state.headerText)},
        {"versionText", qtText(state.versionText)},
        {"chipKey", qtText(facts.opened.chipKey)},
        {"gpuName", qtText(state.gpuName)},
        {"sbaState", qtText(state.sbaState)},
        {"memClockText", qtText(state.memClockText)},
        {"coreClockText", qtText(state.coreClockText)},
        {"headerlengh", integerOrNull(state.headerlengh)},
        {"SBAVrt", integerOrNull(state.SBAVrt)},
        {"Octclef", integerOrNull(state.Octclef)},
        {"memClockWord", integerOrNull(facts.opened.memClockWord)},
        {"coreClockWord", integerOrNull(facts.opened.coreClockWord)},
    };
    object.insert("checksum",
                  facts.sum ? QJsonValue(QJsonObject{{"sum", int{*facts.sum}}, {"valid", *facts.sum == 0}})
                            : QJsonValue(QJsonValue::Null));
    return object;
}

std::string_view checksumState(const std::optional<std::uint8_t>& sum)
{
    if (!sum) {
        return kUnknownChecksum;
    }
    return *sum == 0 ? kValid : kNotValid;
}

void printRows(const Facts& facts, std::ostream& out)
{
    const ImageState& state = facts.opened.state;
    const std::array<std::pair<std::string_view, std::string_view>, 9> rows{{
        {kFileTitleCaption, state.fileTitle},
        {kFileSizeCaption, state.fileSize},
        {kHeaderCaption, state.headerText},
        {kVersionCaption, state.versionText},
        {kGpuCaption, state.gpuName},
        {kSbaCaption, state.sbaState},
        {kMemClockCaption, state.memClockText},
        {kCoreClockCaption, state.coreClockText},
        {kChecksumCaption, checksumState(facts.sum)},
    }};
    for (const auto& [caption, value] : rows) {
        // The checksum caption already ends with its blank.
        out << caption << (caption.ends_with(' ') ? "" : " ") << printable(value) << '\n';
    }
}

int info(const CommandArguments& parsed, Console& console)
{
    const Facts facts = gather(imagePath(parsed.positionals[0]), console.decimalSeparator);
    if (parsed.flag) {
        console.out << QJsonDocument(toJson(facts)).toJson(QJsonDocument::Indented).toStdString();
    } else {
        printRows(facts, console.out);
    }
    const auto message = openMessage(facts.opened.status);
    return message ? refuse(console, *message) : kExitSuccess;
}

}  // namespace

int runInfo(const QStringList& arguments, Console& console)
{
    return withArguments(arguments, {"info [--json] IMAGE", "json", kJsonOption, 1}, console, info);
}

}  // namespace vardane::cli
