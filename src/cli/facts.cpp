#include "cli/facts.h"

#include "checksum/checksum.h"
#include "cli/texts.h"
#include "qt/qt_text.h"

#include <QJsonDocument>

namespace vardane::cli {
namespace {

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
QJsonValue openMessage(OpenStatus status)
{
    switch (status) {
        case OpenStatus::accepted:
            return QJsonValue::Null;
        case OpenStatus::rejected:
            return qtText(kNotAnImageMessage);
        case OpenStatus::failed:
        case OpenStatus::unreadable:
            break;
    }
    return qtText(kOpenFailedMessage);
}

template <typename Integer>
QJsonValue integerOrNull(const std::optional<Integer>& value)
{
    return value ? QJsonValue(static_cast<qint64>(*value)) : QJsonValue(QJsonValue::Null);
}

}  // namespace

const std::array<FactKey, 17> kFactKeys{{
    {"status", {}},
    {"message", {}},
    {"fileTitle", kFileTitleCaption},
    {"fileSize", kFileSizeCaption},
    {"headerText", kHeaderCaption},
    {"versionText", kVersionCaption},
    {"chipKey", {}},
    {"gpuName", kGpuCaption},
    {"sbaState", kSbaCaption},
    {"memClockText", kMemClockCaption},
    {"coreClockText", kCoreClockCaption},
    {"headerlengh", {}},
    {"SBAVrt", {}},
    {"Octclef", {}},
    {"memClockWord", {}},
    {"coreClockWord", {}},
    {"checksum", kChecksumCaption},
}};

Facts gatherFacts(const std::filesystem::path& path, const std::string& decimalSeparator)
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

QJsonObject toJson(const Facts& facts)
{
    const ImageState& state = facts.opened.state;
    return QJsonObject{
        {"status", qtText(statusName(facts.opened.status))},
        {"message", openMessage(facts.opened.status)},
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
        {"checksum", facts.sum ? QJsonValue(QJsonObject{{"sum", int{*facts.sum}}, {"valid", *facts.sum == 0}})
                               : QJsonValue(QJsonValue::Null)},
    };
}

std::string factText(const QString& key, const QJsonValue& value, bool withSum)
{
    if (key == "checksum") {
        if (value.isNull()) {
            return kChecksumUnknown;
        }
        const std::string state = value["valid"].toBool() ? kChecksumValid : kChecksumInvalid;
        return withSum ? state + " (" + std::to_string(value["sum"].toInt()) + ")" : state;
    }
    if (value.isDouble()) {
        return std::to_string(value.toInteger());
    }
    return value.toString().toStdString();
}

}  // namespace vardane::cli
