// The style editor in the main window: loading, live previews, switches, swatches, radios, Save,
// Cancel, and the boxes that refuse what no style can hold.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "compose/style_thumbnail.h"
#include "imaging/image_io.h"
#include "styles/new_style_dialog.h"
#include "styles/style_editor_dialog.h"
#include "styles/style_editor_harness.h"
#include "styles/template_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::BandStyle;
using testing_support::Harness;
using testing_support::kBand;
using testing_support::kCategory;
using testing_support::MaxChannelDifference;
using testing_support::ScriptedDialogs;

class StyleEditorTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void OpacityShowsTruncatedPercentAndSavesItBack() {
    Harness h;
    QCOMPARE(h.Box("LineOpacity")->text(), QString("49"));
    QCOMPARE(h.Find<QSlider>("LineOpacityBar")->value(), 49);
    QCOMPARE(h.Box("FrameSize")->text(), QString("20"));
    h.Click("Button1");
    QCOMPARE(h.Stored().line_opacity, 127);  // untouched: the stored value, not 49 x 255 / 100
    QVERIFY(h.dialogs.errors.isEmpty());
    QCOMPARE(h.window->State().style, h.Stored());
    // Touched, the box's percent is what is stored.
    h.Editor()->Load(h.window->State().style);
    h.Find<QCheckBox>("LineDraw")->setChecked(true);
    h.Type("LineOpacity", "50");
    h.Click("Button1");
    QCOMPARE(h.Stored().line_opacity, 127);
    h.Editor()->Load(h.window->State().style);
    h.Type("LineOpacity", "48");
    h.Click("Button1");
    QCOMPARE(h.Stored().line_opacity, 122);
  }

  // Edit, then Save without touching anything, writes the settings file back value for value:
  // every shipped template, and stored values the percent cannot hold or the bars cannot show.
  void UntouchedSaveWritesTheFileBack_data() {
    QTest::addColumn<QString>("source");  // a settings file; empty: the hand-made values below
    QDir mask(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask"));
    for (const QString& category : mask.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
      for (const QString& file : QDir(mask.filePath(category)).entryList({QStringLiteral("*.ini")}))
        QTest::newRow(qPrintable(category + u'/' + file)) << mask.filePath(category + u'/' + file);
    QTest::newRow("outside the bars") << QString();
  }
  void UntouchedSaveWritesTheFileBack() {
    QFETCH(QString, source);
    Harness h;
    FrameStyle style = BandStyle();
    if (source.isEmpty()) {
      style.back_size = 80;
      style.shadow_size = 0;
      style.back_text_size = 0;
      style.frame_text_size = -3;
      style.line_size = 51;
      style.stroke_size = 60;
      style.frame_size = 0;
      style.blend_opacity = 1;  // shown 0 %
      style.color_opacity = 382;
      style.line_opacity = 254;  // shown 99 %, which would store 252
      style.frame_opacity = 0;
      style.stroke_opacity = -2147483647 - 1;
      style.shadow_opacity = 128;
      style.back_opacity = 2;
      style.back_draw = style.shadow_draw = style.stroke_draw = 1;
      WriteFrameStyle(h.Settings(), style);
    } else {
      QFile::remove(h.Settings());
      QVERIFY(QFile::copy(source, h.Settings()));
      QFile(h.Settings()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      ReadFrameStyle(source, style);
    }
    const QByteArray before = testing_support::ReadFile(h.Settings());
    h.Click("Hot51");  // the window reads the file again
    QCOMPARE(h.window->State().style, style);
    h.Editor()->Load(h.window->State().style);
    QVERIFY2(h.Editor()->Problem().isEmpty(), qPrintable(h.Editor()->Problem()));
    h.Click("Button1");
    QVERIFY2(h.dialogs.errors.isEmpty(), qPrintable(h.dialogs.errors.join(u'\n')));
    QCOMPARE(h.Stored(), style);
    QCOMPARE(h.window->State().style, style);
    QCOMPARE(testing_support::ReadFile(h.Settings()), before);
  }

  void WrittenFileReadsBackAsTheWorkingStyle() {
    Harness h;
    h.Find<QCheckBox>("ShadowDraw")->setChecked(true);
    h.Type("ShadowSize", "17");
    h.Find<QCheckBox>("ScaleWithPhoto")->setChecked(true);
    h.Click("FrameSharp2");
    QCOMPARE(h.Find<QComboBox>("FrameSharp")->currentIndex(), 1);
    const FrameStyle working = h.Editor()->WorkingStyle();
    QCOMPARE(working.shadow_size, 17);
    QCOMPARE(working.frame_sharp, 1);
    QCOMPARE(working.scale, 1);
    h.Click("Button1");
    QCOMPARE(h.Stored(), working);
    QCOMPARE(h.window->State().style, working);
  }

  void SavedPictureIsAFreshRenderOfTheStyle() {
    Harness h;
    h.Type("FrameSize", "9");
    h.Click("Button1");
    const LoadedImage picture = LoadImage(h.folder.CategoryFolder(kCategory) + "/t01.jpg");
    QCOMPARE(picture.status, LoadStatus::Ok);
    QCOMPARE(picture.image.size(), QSize(70, 70));
    QCOMPARE(MaxChannelDifference(picture.image,
                                  RenderStyleThumbnail(h.Stored(), testing_support::ShippedTextures())),
             0);
    // The cell of the current template shows the new picture at once.
    QCOMPARE(MaxChannelDifference(h.CellPicture(51).copy(0, 0, 70, 70), picture.image), 0);
  }

  void BarAndBoxFollowEachOther() {
    Harness h;
    h.Find<QSlider>("FrameSizeBar")->setValue(33);
    QCOMPARE(h.Box("FrameSize")->text(), QString("33"));
    QCOMPARE(h.Editor()->WorkingStyle().frame_size, 33);
    h.Type("FrameSize", "7");
    QCOMPARE(h.Find<QSlider>("FrameSizeBar")->value(), 7);
    QCOMPARE(h.Editor()->WorkingStyle().frame_size, 7);
  }

  // Typing stops at the bar's range: 150 % cannot be typed, so nothing like 382 is ever stored.
  void BoxesRefuseNumbersBeyondTheirBar_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("opacity 150") << "FrameOpacity"
                                 << "150"
                                 << "15";
    QTest::newRow("opacity 100") << "FrameOpacity"
                                 << "100"
                                 << "100";
    QTest::newRow("size 51") << "FrameSize"
                             << "51"
                             << "5";
    QTest::newRow("size 50") << "FrameSize"
                             << "50"
                             << "50";
    QTest::newRow("size 0") << "FrameSize"
                            << "0"
                            << "";
    QTest::newRow("minus") << "FrameSize"
                           << "-1"
                           << "1";
    QTest::newRow("letters") << "FrameSize"
                             << "x2"
                             << "2";
    QTest::newRow("32-bit top") << "BlendOpacity"
                                << "2147483647"
                                << "21";
  }
  void BoxesRefuseNumbersBeyondTheirBar() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Harness h;
    h.Type(box, typed);
    QCOMPARE(h.Box(box)->text(), shown);
  }

  void EmptyBoxSaysWhyAndBlocksSave() {
    Harness h;
    const QRgb before = h.PreviewBandPixel();
    const QByteArray file_before = testing_support::ReadFile(h.Settings());
    h.Type("FrameSize", "");
    QCOMPARE(h.Editor()->Problem(), QString("'' is not a valid integer value"));
    QVERIFY(h.Find<QLabel>("ProblemLabel")->isVisibleTo(h.Editor()));
    h.Click("FrameColorText");  // no preview while the box is wrong
    QCOMPARE(h.PreviewBandPixel(), before);
    h.Click("Button1");
    QCOMPARE(h.dialogs.errors, QStringList{"'' is not a valid integer value"});
    QCOMPARE(testing_support::ReadFile(h.Settings()), file_before);
    h.Click("Button3");  // New Style... refuses too
    QCOMPARE(h.dialogs.errors.size(), 2);
    QVERIFY(!h.Editor()->NewStyle()->isVisible());
    h.Type("FrameSize", "12");
    QVERIFY(h.Editor()->Problem().isEmpty());
    QVERIFY(h.PreviewBandPixel() != before);  // the band is textured now
  }

  void UncheckingFrameGreysItsPageAndDropsTheBand() {
    Harness h;
    QCOMPARE(h.PreviewBandPixel(), kBand);
    h.Editor()->ShowPage(3);
    h.Click("FrameColorText");  // texture mode: the texture size panel is shown
    QVERIFY(h.Find("FrameTextSizePanel")->isVisibleTo(h.Editor()));
    h.Find<QCheckBox>("FrameDraw")->setChecked(false);
    for (const char* name : {"FrameOpacity", "FrameSizeBar", "FrameColor", "FrameText", "FrameSharp1",
                             "FrameSharp3", "FrameTextSize", "FrameColorText1"})
      QVERIFY2(!h.Find(name)->isEnabled(), name);
    QVERIFY(h.Find("FrameDraw")->isEnabled());
    QVERIFY(h.Find("BlendOpacity")->isEnabled());
    QVERIFY(h.PreviewBandPixel() != kBand);
    // The window's current style is untouched by previews.
    QCOMPARE(h.window->State().style, BandStyle());
  }

  void FrameSwatchColourLeavesTextureMode() {
    Harness h;
    h.Click("FrameColorText");
    QVERIFY(h.Find<QRadioButton>("FrameColorText")->isChecked());
    h.dialogs.colours = {QColor(0, 0, 255)};
    h.Click("FrameColor");
    QCOMPARE(h.dialogs.colour_requests, QList<QColor>{QColor(255, 0, 0)});
    QVERIFY(h.Find<QRadioButton>("FrameColorText1")->isChecked());
    QVERIFY(!h.Find("FrameTextSizePanel")->isVisibleTo(h.Editor()));
    QCOMPARE(h.Editor()->WorkingStyle().frame_color, 0xFF0000);
    QCOMPARE(h.Editor()->WorkingStyle().frame_color_text, 0);
    QCOMPARE(h.PreviewBandPixel(), 0xFF0000FFu);
  }

  void CancelledColourChangesNothing() {
    Harness h;
    h.Click("FrameColorText");
    h.Click("FrameColor");  // the script has no colour: cancelled
    QCOMPARE(h.dialogs.colour_requests.size(), 1);
    QVERIFY(h.Find<QRadioButton>("FrameColorText")->isChecked());
    QCOMPARE(h.Editor()->WorkingStyle().frame_color, 0x0000FF);
  }

  void EffectListShowsItsPage() {
    Harness h;
    QCOMPARE(h.Editor()->PageShown(), 0);
    QVERIFY(h.Find("BlendPanel")->property("highlighted").toBool());
    h.Click("ShadowPanel");
    QCOMPARE(h.Editor()->PageShown(), 5);
    QVERIFY(h.Find("ShadowPanel")->property("highlighted").toBool());
    QVERIFY(!h.Find("BlendPanel")->property("highlighted").toBool());
  }

  // A click on an effect's caption shows its page like a click anywhere else on the panel; only
  // the box itself switches the effect (and leaves the page shown alone).
  void CaptionShowsThePageAndOnlyTheBoxSwitches_data() {
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<int>("page");
    QTest::newRow("Color Overlay") << "ColorDraw"
                                   << "ColorPanel" << 1;
    QTest::newRow("Frame") << "FrameDraw"
                           << "FramePanel" << 3;
    QTest::newRow("Drop Shadow") << "ShadowDraw"
                                 << "ShadowPanel" << 5;
    QTest::newRow("Background") << "BackDraw"
                                << "BackPanel" << 6;
  }
  void CaptionShowsThePageAndOnlyTheBoxSwitches() {
    QFETCH(QString, check);
    QFETCH(QString, panel);
    QFETCH(int, page);
    Harness h;
    auto* box = h.Find<QCheckBox>(check);
    const bool on = box->isChecked();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2 + 10, box->height() / 2));
    QCOMPARE(box->isChecked(), on);
    QCOMPARE(h.Editor()->PageShown(), page);
    QVERIFY(h.Find(panel)->property("highlighted").toBool());
    h.Click("BlendPanel");
    QCOMPARE(h.Editor()->PageShown(), 0);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));  // the box
    QCOMPARE(box->isChecked(), !on);
    QCOMPARE(h.Editor()->PageShown(), 0);
  }

  // Every caption of the effect list fits its panel.
  void EffectCaptionsFit() {
    Harness h;
    h.Editor()->show();
    for (QCheckBox* box : h.Editor()->findChildren<QCheckBox*>()) {
      if (!box->parentWidget()->property("tag").isValid()) continue;
      QStyleOptionButton option;
      option.initFrom(box);
      option.text = box->text();
      const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) <= room.width() &&
                   box->x() + room.right() < box->parentWidget()->width(),
               qPrintable(box->text()));
    }
    auto* blend = h.Find<QLabel>("BlendPanelCaption");
    QVERIFY(blend->fontMetrics().horizontalAdvance(blend->text()) <= blend->contentsRect().width());
  }

  void SaveOnAPngTemplateWritesAJpgBesideIt() {
    Harness h(1, 0, "png");
    h.Click("Button1");
    QVERIFY(QFile::exists(h.folder.CategoryFolder(kCategory) + "/t01.jpg"));
    QVERIFY(QFile::exists(h.folder.CategoryFolder(kCategory) + "/t01.png"));
  }

  void SaveWithTheCellOnAnotherPageLeavesTheGridAlone() {
    Harness h(9, 0);
    h.Click("FlatButton8");  // page 1: t09 alone
    QCOMPARE(h.window->Templates()->CurrentGridCell(), -1);
    QList<QImage> before;
    for (int n = 51; n <= 58; ++n) before.append(h.CellPicture(n));
    h.Click("Button1");
    for (int n = 51; n <= 58; ++n) QCOMPARE(h.CellPicture(n), before[n - 51]);
  }

  void UnwritableSettingsChangeNothing() {
    Harness h;
    QFile::remove(h.Settings());
    QVERIFY(QDir().mkpath(h.Settings()));  // a folder where the file should be
    h.Type("FrameSize", "3");
    h.Click("Button1");
    QCOMPARE(h.dialogs.errors.size(), 1);
    // The settings file's own check or the writer says so, naming the file.
    QVERIFY2(h.dialogs.errors[0].contains(QFileInfo(h.Settings()).fileName()),
             qPrintable(h.dialogs.errors[0]));
    QCOMPARE(h.window->State().style, BandStyle());
    QCOMPARE(h.Editor()->result(), int(QDialog::Rejected));
  }

  void CancelAndCloseShowTheCurrentStyleAgain_data() {
    QTest::addColumn<bool>("close_button");
    QTest::newRow("Cancel") << false;
    QTest::newRow("window close") << true;
  }
  void CancelAndCloseShowTheCurrentStyleAgain() {
    QFETCH(bool, close_button);
    Harness h;
    QTimer::singleShot(0, h.Editor(), [&h, close_button] {
      h.Find<QCheckBox>("FrameDraw")->setChecked(false);
      if (close_button)
        h.Editor()->close();
      else
        h.Click("Button2");
    });
    h.Click("FlatButton27");  // Edit
    QVERIFY(!h.Editor()->isVisible());
    QTRY_COMPARE(h.PreviewBandPixel(), kBand);
    QCOMPARE(h.window->State().style, BandStyle());
  }

  void EditWithoutATemplateDoesNothing() {
    Harness h(1, -1);
    bool shown = false;
    QTimer::singleShot(0, h.Editor(), [&] {
      shown = h.Editor()->isVisible();
      h.Editor()->reject();
    });
    h.Click("FlatButton27");
    QVERIFY(!shown);
  }
};

QTEST_MAIN(StyleEditorTest)
#include "style_editor_test.moc"
