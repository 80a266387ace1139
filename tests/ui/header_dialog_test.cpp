// frmheader driven headless through the main window's menu.
#include "image/text.h"
#include "ui_session.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <vector>

using vardane::test::differingOffsets;
using vardane::test::Standard;
using vardane::test::TempFile;
using vardane::test::UiSession;
using vardane::ui::MessageIcon;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr auto kHeader = static_cast<std::size_t>(Standard::kHeader);

// An image whose 51 searched bytes are letters, with a carriage return at
// `width` when it is below 51 (none when negative) and `inField` from offset 2.
vardane::test::TestImage imageWithField(int width, const Bytes& inField = {})
{
    Bytes searched;
    for (std::size_t i = 0; i < 51; ++i) {
        searched.push_back(static_cast<std::uint8_t>('a' + i % 26));
    }
    if (width >= 0 && width < 51) {
        searched[static_cast<std::size_t>(width)] = 0x0D;
    }
    std::copy(inField.begin(), inField.end(), searched.begin() + 2);
    return vardane::test::standardImage().put(Standard::kHeader, searched);
}

QString field(const Bytes& bytes, std::size_t width = Standard::kHeaderWidth)
{
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(kHeader);
    return QString::fromStdString(
        vardane::decodeWindows1252(Bytes(first, first + static_cast<std::ptrdiff_t>(width))));
}

// A session with the image open and frmheader shown, if it could be.
struct Shown {
    explicit Shown(const vardane::test::TestImage& image = vardane::test::standardImage()) : file(image)
    {
        session.open(file);
        dialog = session.showDialog("mnuheader", "frmheader");
    }
    UiSession session;
    const TempFile file;
    const Bytes before = file.contents();
    QPointer<QWidget> dialog;

    [[nodiscard]] QLineEdit* box() const { return dialog->findChild<QLineEdit*>("Text1"); }
    void type(const char* text) const
    {
        box()->selectAll();
        QTest::keyClicks(box(), text);
    }
    void apply() const { QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton); }
    [[nodiscard]] bool closed() const
    {
        UiSession::flushDeletes();
        return UiSession::dialog("frmheader") == nullptr;
    }
    // After a write: the length kept, no byte changed outside the field.
    [[nodiscard]] bool onlyTheFieldChanged(std::size_t width = Standard::kHeaderWidth) const
    {
        const auto after = file.contents();
        const auto changed = differingOffsets(before, after);
        return after.size() == before.size() && !changed.empty() && changed.front() >= kHeader &&
               changed.back() < kHeader + width;
    }
    // One message box, an error's.
    [[nodiscard]] bool refusedOnce() const
    {
        return session.services.messages.size() == 1 &&
               session.services.messages[0].icon == MessageIcon::critical;
    }
};

}  // namespace

class HeaderDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The box starts with the field's own characters (a stand-in '?' for a
    // control byte) and takes only what the field can: no more characters
    // than its width, each in Windows-1252 and no control character. Apply
    // unedited writes the very same bytes back; an edit is padded with spaces.
    void applyWritesTheBoxText_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("inField");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("input");  // null: unedited
        QTest::addColumn<QString>("written");
        const QString letters = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwx";
        const auto row = [&](const char* tag, int width, bool pasted, const QString& input,
                             const QString& written) {
            QTest::newRow(tag) << width << QByteArray() << letters.left(width) << pasted << input << written;
        };
        row("48", 48, false, {}, {});
        row("10", 10, false, {}, {});
        row("50", 50, false, {}, {});
        row("1", 1, false, {}, {});
        QTest::newRow("00 8D 80 9F") << 48 << QByteArray("\x00\x8D\x80\x9F", 4)
                                     << QString::fromUtf8("ab??€Ÿ") + letters.mid(6, 42) << false << QString()
                                     << QString();
        row("edited to 10 characters", 48, false, "GeForce2 !", "GeForce2 !");
        row("typed past 10", 10, false, "0123456789ABCDE", "0123456789");
        row("pasted past 10", 10, true, QString(12, QChar(0xC9)), QString(10, QChar(0xC9)));
        for (const char* refused : {"\u0101", "日本", "a\tb", "a\rb", "\u0081", "\u007F"}) {
            row(refused, 48, true, QString::fromUtf8(refused), "");
        }
        const QString windows1252 = QString::fromUtf8("€ Œuvre n°1 – «é»");
        row("Windows-1252", 48, true, windows1252, windows1252);
    }
    void applyWritesTheBoxText()
    {
        QFETCH(int, width);
        QFETCH(QByteArray, inField);
        QFETCH(QString, opened);
        QFETCH(bool, pasted);
        QFETCH(QString, input);
        QFETCH(QString, written);
        const Shown t(imageWithField(width, Bytes(inField.begin(), inField.end())));
        QVERIFY(t.dialog != nullptr);
        QCOMPARE(t.box()->text(), opened);
        if (!input.isNull()) {
            t.box()->clear();
            if (pasted) {
                t.box()->insert(input);
            } else {
                QTest::keyClicks(t.box(), input);
            }
            QCOMPARE(t.box()->text(), written);
        }
        t.apply();
        const auto length = static_cast<std::size_t>(width);
        if (input.isNull()) {
            QCOMPARE(t.file.contents(), t.before);
        } else {
            QVERIFY(t.onlyTheFieldChanged(length));
            QCOMPARE(field(t.file.contents(), length), written.leftJustified(width, ' '));
        }
        QCOMPARE(t.session.shown("Text2"), field(t.file.contents(), length));
        QCOMPARE(t.session.shown("Text7"), QString("Non Valide"));
        QVERIFY(t.session.services.messages.empty());
        QVERIFY(t.closed());
    }

    void imagesWithoutAFieldRefuse_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("withVersion");
        QTest::newRow("width 0") << 0 << true;
        QTest::newRow("no carriage return") << -1 << true;
        QTest::newRow("no Version marker") << 48 << false;
    }
    void imagesWithoutAFieldRefuse()
    {
        QFETCH(int, width);
        QFETCH(bool, withVersion);
        auto image = imageWithField(width);
        const Shown t(withVersion ? image : image.put(Standard::kVersion, "Persion"));
        QVERIFY(t.dialog == nullptr);
        QCOMPARE(t.file.contents(), t.before);
        QVERIFY(t.refusedOnce());
        QCOMPARE(t.session.shown("Text7"), QString("???"));
    }

    // The field was found in the image on show at load: once that image is
    // gone (even for the same file opened again) or its field changed in the
    // file, Apply writes nothing and the dialog closes, as closing by the frame does.
    void applyWithoutTheLoadedFieldWritesNothing_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("refused");
        QTest::newRow("image closed") << "closed" << true;
        QTest::newRow("closed then opened again") << "reopened" << true;
        QTest::newRow("field changed in the file") << "changed" << true;
        QTest::newRow("main window gone") << "gone" << false;
        QTest::newRow("closed by its frame, no Apply") << "frame" << false;
    }
    void applyWithoutTheLoadedFieldWritesNothing()
    {
        QFETCH(QString, situation);
        QFETCH(bool, refused);
        Shown t;
        QVERIFY(t.dialog != nullptr);
        t.type("X");
        auto expected = t.before;
        if (situation == "closed" || situation == "reopened") {
            t.session.trigger("mnuClose");
        }
        if (situation == "reopened") {
            t.session.open(t.file);
        } else if (situation == "changed") {
            expected = imageWithField(20).bytes();
            vardane::test::writeAll(t.file.path(), expected);
        } else if (situation == "gone") {
            t.session.closeMainWindow();
        }
        const QString text2 = t.session.window() != nullptr ? t.session.shown("Text2") : "";
        if (situation == "frame") {
            t.dialog->close();
        } else {
            t.apply();
        }
        QCOMPARE(t.file.contents(), expected);
        QVERIFY(refused ? t.refusedOnce() : t.session.services.messages.empty());
        QVERIFY(t.closed());
        if (t.session.window() != nullptr) {
            QCOMPARE(t.session.shown("Text2"), text2);
            QCOMPARE(t.session.shown("Text7"), QString("???"));
        }
    }

    // A file locked or moved for a moment: the typed text stays for another try.
    void unreachableFileKeepsTheDialog()
    {
        const Shown t;
        t.type("Nouveau");
        const auto aside = t.file.folder() / "aside.rom";
        std::filesystem::rename(t.file.path(), aside);
        t.apply();
        QCOMPARE(vardane::test::readAll(aside), t.before);
        QVERIFY(t.refusedOnce());
        QCOMPARE(t.session.shown("Text7"), QString("???"));
        QVERIFY(!t.closed());
        QCOMPARE(t.box()->text(), QString("Nouveau"));

        std::filesystem::rename(aside, t.file.path());
        t.apply();
        QVERIFY(t.onlyTheFieldChanged());
        QCOMPARE(field(t.file.contents()), QString("Nouveau").leftJustified(48, ' '));
        QVERIFY(t.closed());
    }
};

QTEST_MAIN(HeaderDialogTest)
#include "header_dialog_test.moc"
