#include "cli/list_input.h"

#include "text/encoding.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vardane::cli {
namespace {

enum class Form { utf8, utf16LittleEndian, utf16BigEndian };

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
// Where the list ends inside a UTF-16 unit; a byte that is never UTF-8 in
// the name, so that its line is refused instead of naming another file.
constexpr std::string_view kHalfUnit = "\xFF";
constexpr int kEnd = -1;
constexpr int kHalf = -2;

// A list as Windows' tools save it: UTF-8, after a byte-order mark or
// without one (PowerShell 5.1's Out-File -Encoding utf8 writes one), or
// UTF-16 after its mark (PowerShell 5.1's >), which is given as WTF-8, so
// that a name with a lone surrogate comes through as Windows has it.
class MarkedList {
public:
    explicit MarkedList(std::FILE* in) : in_(in) {}

    int next()
    {
        if (!form_) {
            form_ = readMark();
        }
        if (given_ == ahead_.size()) {
            if (*form_ == Form::utf8) {
                return std::getc(in_);
            }
            ahead_ = nextCharacter();
            given_ = 0;
            if (ahead_.empty()) {
                return EOF;
            }
        }
        return static_cast<unsigned char>(ahead_[given_++]);
    }

private:
    // What is read past the mark, or in place of one, is given first.
    Form readMark()
    {
        ahead_ = take(2);
        if (ahead_ == kUtf16LittleEndianMark || ahead_ == kUtf16BigEndianMark) {
            const Form form =
                ahead_ == kUtf16LittleEndianMark ? Form::utf16LittleEndian : Form::utf16BigEndian;
            ahead_.clear();
            return form;
        }
        if (ahead_ == kUtf8Mark.substr(0, 2)) {
            ahead_ += take(1);
            if (ahead_ == kUtf8Mark) {
                ahead_.clear();
            }
        }
        return Form::utf8;
    }

    std::string take(std::size_t count)
    {
        std::string bytes;
        while (bytes.size() < count) {
            const int c = std::getc(in_);
            if (c == EOF) {
                break;
            }
            bytes += static_cast<char>(c);
        }
        return bytes;
    }

    // The next UTF-16 unit, kEnd at the end of the list and kHalf where it
    // ends inside one.
    int unit()
    {
        if (held_) {
            return std::exchange(held_, std::nullopt).value();
        }
        const std::string bytes = take(2);
        if (bytes.size() < 2) {
            return bytes.empty() ? kEnd : kHalf;
        }
        const auto first = static_cast<unsigned char>(bytes[0]);
        const auto second = static_cast<unsigned char>(bytes[1]);
        return *form_ == Form::utf16LittleEndian ? (second << 8) | first : (first << 8) | second;
    }

    // The WTF-8 of the next character, a surrogate that is not half of a
    // pair standing alone; "" at the end of the list.
    std::string nextCharacter()
    {
        const int first = unit();
        if (first < 0) {
            return std::string(first == kEnd ? "" : kHalfUnit);
        }
        std::u16string units(1, static_cast<char16_t>(first));
        if (first >= 0xD800 && first <= 0xDBFF) {
            const int second = unit();
            if (second >= 0xDC00 && second <= 0xDFFF) {
                units += static_cast<char16_t>(second);
            } else {
                held_ = second;
            }
        }
        return wtf8FromUtf16(units);
    }

    std::FILE* in_;
    std::optional<Form> form_;
    std::string ahead_;  // bytes to give before reading on
    std::size_t given_ = 0;
    std::optional<int> held_;  // a unit read after a lone high surrogate
};

}  // namespace

ListBytes listBytes(std::FILE* in)
{
    auto list = std::make_shared<MarkedList>(in);
    return [list] { return list->next(); };
}

}  // namespace vardane::cli
