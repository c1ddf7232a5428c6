// The current color: one refresh per accepted color from every source, the sliders' loop, the
// copy captions and the preview's copy menu.
#include "../support/copytables.h"
#include "../support/windowfixture.h"
#include "color/harmony.h"
#include "ui/colorlabel.h"

#include "formats/copysettings.h"

#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace bascommon;

namespace {

// Every readout, slider and caption agrees with color.
void verifyShows(const WindowFixture &f, Color color)
{
    QCOMPARE(f.window->curColor(), color);
    QCOMPARE(f.find<ColorLabel>("lblcolor")->backColor(), color);
    QCOMPARE(f.text("txtrgb"), ColorToHex(color));
    QCOMPARE(f.text("txtrgb1"), ColorToRGBText(color));
    QCOMPARE(f.text("rtxt"), QString::number(GetRed(color)));
    QCOMPARE(f.text("gtxt"), QString::number(GetGreen(color)));
    QCOMPARE(f.text("btxt"), QString::number(GetBlue(color)));
    QCOMPARE(f.find<QScrollBar>("RScroll")->value(), GetRed(color));
    QCOMPARE(f.find<QScrollBar>("GScroll")->value(), GetGreen(color));
    QCOMPARE(f.find<QScrollBar>("BScroll")->value(), GetBlue(color));
    QCOMPARE(f.action("mnuCopyhex1")->text(), ColorToHex(color));
    QCOMPARE(f.action("mnuCopydec1")->text(), "RGB(" + ColorToRGBText(color) + ")");
}

} // namespace

class tst_ColorEditor : public QObject
{
    Q_OBJECT
private slots:
    void startShowsNoContradiction();
    void invariantFromEverySource();
    void oneRefreshPerColor();
    void sliderDragFollowsEveryPosition();
    void sliderChangeDropsSelection();
    void reselectedCurrentColorKeepsFrame();
    void captions_data();
    void captions();
    void previewPopupOffersOnlyCopies();
    void copyItemPutsCaptionOnClipboard();
    void readoutsCannotBeTyped();
    void editFormats();
    void detailsFollowTheCurrentColor();
    void detailsJudgeTheColor();
};

void tst_ColorEditor::startShowsNoContradiction()
{
    WindowFixture empty;
    verifyShows(empty, 0xFFFFFF);
    WindowFixture one("0C0B0A");
    verifyShows(one, 0x0A0B0C);
}

void tst_ColorEditor::invariantFromEverySource()
{
    WindowFixture f("112233445566");
    f.window->lblcor_MouseUp(1, 1, 0, 0, 0); // swatch
    verifyShows(f, 0x332211);
    f.find<QScrollBar>("GScroll")->setValue(200); // slider
    verifyShows(f, 0x33C811);
    f.window->CurrentColorChanged(0x0A0B0C); // direct call
    verifyShows(f, 0x0A0B0C);
}

void tst_ColorEditor::oneRefreshPerColor()
{
    WindowFixture f;
    QList<std::shared_ptr<QSignalSpy>> spies;
    for (const char *name : {"txtrgb", "txtrgb1", "rtxt", "gtxt", "btxt"})
        spies << std::make_shared<QSignalSpy>(f.find<QLineEdit>(QLatin1String(name)),
                                              &QLineEdit::textChanged);
    for (const char *name : {"RScroll", "GScroll", "BScroll"})
        spies << std::make_shared<QSignalSpy>(f.find<QScrollBar>(QLatin1String(name)),
                                              &QScrollBar::valueChanged);
    f.window->CurrentColorChanged(0x0A0B0C);
    for (const auto &spy : spies)
        QCOMPARE(spy->count(), 1);
    verifyShows(f, 0x0A0B0C);
    f.window->CurrentColorChanged(0x0A0B0C);
    for (const auto &spy : spies)
        QCOMPARE(spy->count(), 1);
}

void tst_ColorEditor::sliderDragFollowsEveryPosition()
{
    WindowFixture f;
    f.window->CurrentColorChanged(composeColor(0, 128, 64));
    auto *red = f.find<QScrollBar>("RScroll");
    QSignalSpy previewText(f.find<QLineEdit>("txtrgb"), &QLineEdit::textChanged);
    red->setSliderDown(true);
    for (int position = 1; position <= 255; ++position) {
        red->setSliderPosition(position); // a drag moves the thumb like this
        QCOMPARE(f.window->curColor(), composeColor(position, 128, 64));
    }
    red->setSliderDown(false);
    QCOMPARE(previewText.count(), 255);
    verifyShows(f, composeColor(255, 128, 64));
}

void tst_ColorEditor::sliderChangeDropsSelection()
{
    WindowFixture f("112233");
    auto *frame = f.find<QWidget>("shpSelect");
    QVERIFY(!frame->isHidden());
    QVERIFY(f.action("mnuDelCor")->isEnabled());
    auto *blue = f.find<QScrollBar>("BScroll");
    blue->setValue(blue->value() + 1);
    QVERIFY(frame->isHidden());
    QVERIFY(!f.action("mnuDelCor")->isEnabled());
    blue->setValue(blue->value() - 1); // back to the swatch's color: the frame stays hidden
    QCOMPARE(f.window->curColor(), 0x332211);
    QVERIFY(frame->isHidden());
}

void tst_ColorEditor::reselectedCurrentColorKeepsFrame()
{
    WindowFixture f("112233445566");
    f.window->lblcor_MouseUp(1, 1, 0, 0, 0);
    QVERIFY(!f.find<QWidget>("shpSelect")->isHidden());
    f.window->lblcor_MouseUp(1, 4, 0, 0, 0); // middle button, same color
    QVERIFY(!f.find<QWidget>("shpSelect")->isHidden());
    QVERIFY(f.action("mnuDelCor")->isEnabled());
    QCOMPARE(f.window->chartSelRecord(), 1);
}

void tst_ColorEditor::captions_data()
{
    addCopyTextRows();
}

void tst_ColorEditor::captions()
{
    QFETCH(int, color);
    QFETCH(QStringList, texts);
    WindowFixture f("123456");
    f.window->CurrentColorChanged(color);
    QStringList actual;
    for (const char *name : {"mnuCopyhex1", "mnuCopyhex2", "mnuCopyhex3", "mnuCopyhex4",
                             "mnuCopydec2", "mnuCopydec1", "mnuCopyhex5"})
        actual << f.action(name)->text();
    QCOMPARE(actual, texts);
}

void tst_ColorEditor::previewPopupOffersOnlyCopies()
{
    WindowFixture f("123456");
    f.window->show();
    auto *preview = f.find<ColorLabel>("lblcolor");
    QList<bool> visibleInPopup;
    bool sawPopup = false;
    whilePopupOpen([&] { QTest::mouseRelease(preview, Qt::RightButton); },
                   [&](QMenu *menu) {
                       sawPopup = menu->objectName() == QStringLiteral("mnuEdit");
                       for (const char *name : {"editsep3", "mnuDelCor", "mnuCleanDup", "editsep4",
                                                "mnuExport", "mnuImport"})
                           visibleInPopup << f.action(name)->isVisible();
                       menu->close();
                   });
    QVERIFY(sawPopup);
    QCOMPARE(visibleInPopup, (QList<bool>{false, false, false, false, false, false}));
    for (const char *name : {"editsep3", "mnuDelCor", "mnuCleanDup"})
        QVERIFY(f.action(name)->isVisible());

    // A swatch's popup shows them all.
    visibleInPopup.clear();
    whilePopupOpen([&] { QTest::mouseRelease(f.find<QWidget>("lblcor(0)"), Qt::RightButton); },
                   [&](QMenu *menu) {
                       for (const char *name : {"editsep3", "mnuDelCor", "mnuCleanDup", "editsep4",
                                                "mnuExport", "mnuImport"})
                           visibleInPopup << f.action(name)->isVisible();
                       QVERIFY(f.action("mnuDelCor")->isEnabled());
                       menu->close();
                   });
    QCOMPARE(visibleInPopup, (QList<bool>{true, true, true, true, true, true}));
}

void tst_ColorEditor::copyItemPutsCaptionOnClipboard()
{
    WindowFixture f("0C0B0A");
    f.window->show();
    QString caption;
    whilePopupOpen([&] { QTest::mouseRelease(f.find<QWidget>("lblcolor"), Qt::RightButton); },
                   [&](QMenu *) {
                       QAction *item = f.action("mnuCopydec1");
                       caption = item->text();
                       item->trigger();
                       QApplication::activePopupWidget()->close();
                   });
    QCOMPARE(caption, QStringLiteral("RGB(12,11,10)"));
    QCOMPARE(QGuiApplication::clipboard()->text(), caption);
    QVERIFY(f.errors.isEmpty());
}

void tst_ColorEditor::readoutsCannotBeTyped()
{
    WindowFixture f("0C0B0A");
    f.window->show();
    auto *red = f.find<QLineEdit>("rtxt");
    QTest::keyClicks(red, "x9");
    QCOMPARE(red->text(), QStringLiteral("12"));
    f.find<QScrollBar>("GScroll")->setValue(1);
    QCOMPARE(f.window->curColor(), composeColor(12, 1, 10));
}

void tst_ColorEditor::editFormats()
{
    CopySettings(QStringLiteral("tst-edit-formats")).write({});
    WindowFixture f("0C0B0A", QStringLiteral("tst-edit-formats"));
    QStringList samples;
    QList<bool> addable;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto *field = dialog->findChild<QLineEdit *>("txtFormat");
        auto *add = dialog->findChild<QPushButton *>("cmdAdd");
        for (const char *typed : {"{R}-{x}", "css-rgb", "{r}/{g}/{b}"}) {
            field->clear();
            QTest::keyClicks(field, typed); // the sample follows each key
            samples << dialog->findChild<QLabel *>("lblSample")->text();
            addable << add->isEnabled();
        }
        add->click();
        dialog->accept();
    });
    f.action("mnuEditFormats")->trigger();
    QVERIFY2(samples.value(0).contains("unknown placeholder {x}"), qPrintable(samples.value(0)));
    QVERIFY2(samples.value(1).contains("is a name"), qPrintable(samples.value(1)));
    QCOMPARE(samples.value(2), QStringLiteral("12/11/10"));
    QCOMPARE(addable, (QList<bool>{false, false, true}));
    // The new format is an item whose caption is its text, and it is kept.
    QCOMPARE(f.action("mnuCopyUser1")->text(), QStringLiteral("12/11/10"));
    f.window->CurrentColorChanged(0x030201);
    QCOMPARE(f.action("mnuCopyUser1")->text(), QStringLiteral("1/2/3"));
    QCOMPARE(CopySettings(QStringLiteral("tst-edit-formats")).read().formats,
             QStringList{"{r}/{g}/{b}"});
}

void tst_ColorEditor::detailsFollowTheCurrentColor()
{
    WindowFixture f("0C0B0A");
    f.action("mnuDetails")->trigger();
    auto *details = f.window->findChild<QWidget *>("frmdetails");
    QVERIFY(details && details->isVisible());
    const auto label = [details](const char *name) {
        return details->findChild<QLabel *>(QLatin1String(name))->text();
    };
    const auto field = [details](const char *name) {
        return details->findChild<QLineEdit *>(QLatin1String(name))->text();
    };
    QCOMPARE(label("lblName"), QStringLiteral("\u2248 almost black"));
    QCOMPARE(field("txtoklch"), QStringLiteral("oklch(15.04% 0.00272 67.55)"));
    // Live through a slider, with the selected swatch as the second color.
    f.find<QScrollBar>("RScroll")->setValue(255);
    QCOMPARE(field("txthex"), QStringLiteral("#FF0B0A"));
    QCOMPARE(field("txtSecond"), QStringLiteral("#0C0B0A"));
    f.window->CurrentColorChanged(0x0000FF);
    QCOMPARE(label("lblName"), QStringLiteral("red"));
    const auto contrasts = [details] { // against white, black and the second color
        QStringList ratios;
        for (QLabel *l : details->findChildren<QLabel *>())
            if (l->text().endsWith(":1"))
                ratios << l->text();
        return ratios;
    };
    QCOMPARE(contrasts(), (QStringList{"4.00:1", "5.25:1", "4.92:1"}));
    details->findChild<QLineEdit *>("txtSecond")->clear();
    QTest::keyClicks(details->findChild<QLineEdit *>("txtSecond"), "#777777");
    QCOMPARE(contrasts(), (QStringList{"4.00:1", "5.25:1", "1.12:1"}));
    details->findChild<QPushButton *>("cmdCopycss-rgb")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("rgb(255, 0, 0)"));
    // A typed color stays through swatch selections and picks, until the user empties it.
    f.window->lblcor_MouseUp(0, 1, 0, 0, 0);
    f.window->CurrentColorChanged(0x0000FF);
    QCOMPARE(field("txtSecond"), QStringLiteral("#777777"));
    details->findChild<QLineEdit *>("txtSecond")->selectAll();
    QTest::keyClick(details->findChild<QLineEdit *>("txtSecond"), Qt::Key_Backspace);
    f.window->lblcor_MouseUp(0, 1, 0, 0, 0);
    QCOMPARE(field("txtSecond"), QStringLiteral("#0C0B0A"));
}

// APCA beside each ratio, the color as each deficiency sees it, and harmonies whose swatches
// make a color current and whose row goes into the palette as one step.
void tst_ColorEditor::detailsJudgeTheColor()
{
    WindowFixture f("0C0B0A");
    f.action("mnuDetails")->trigger();
    auto *details = f.window->findChild<QWidget *>("frmdetails");
    f.window->CurrentColorChanged(0x0000FF); // red
    QStringList lc;
    for (QLabel *l : details->findChildren<QLabel *>())
        if (l->text().startsWith("Lc "))
            lc << l->text();
    QCOMPARE(lc, (QStringList{"Lc 64.1", "Lc -37.5", "Lc -37.4"})); // on white, black, #0C0B0A
    const auto label = [details](const QString &name) {
        return details->findChild<QLabel *>(name)->text();
    };
    QCOMPARE(label("lblSeenHex(deuteranopia)"), QStringLiteral("#A39000"));
    QCOMPARE(label("lblSeenHex(achromatopsia)"), QStringLiteral("#7F7F7F"));
    const std::vector<Color> triad = harmony::of(harmony::Kind::Triadic, 0x0000FF);
    QTest::mouseRelease(details->findChild<QWidget *>("lblHarmony(triadic,1)"), Qt::LeftButton);
    QCOMPARE(f.window->curColor(), triad[1]);
    details->findChild<QPushButton *>("cmdAdd(triadic)")->click(); // the current color's triad
    QVERIFY(f.idle());
    const std::vector<Color> added = harmony::of(harmony::Kind::Triadic, triad[1]);
    QByteArray expected = "0C0B0A";
    for (Color color : added)
        expected += bascommon::ColorToHex(color).mid(1).toLatin1();
    QCOMPARE(f.palette(), expected);
    QCOMPARE(f.action("mnuUndo")->text(), QStringLiteral("Undo Add Harmony"));
    f.action("mnuUndo")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("0C0B0A"));
}

QTEST_MAIN(tst_ColorEditor)
#include "tst_coloreditor.moc"
