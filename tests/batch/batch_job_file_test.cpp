// Batch job files: every field through a round trip, readable text, refused values at the ends
// of their ranges, and rows whose files are gone.
#include <QTemporaryDir>
#include <QTest>

#include "base/lumisto_error.h"
#include "batch/batch_job_file.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

// Every field away from its start value.
BatchEntry Busy(const QString& folder) {
  FrameStyle style;
  for (int i = 0; i < FrameStyle::kSlotCount; ++i) style.Slot(i) = 3 * i + 1;
  style.back_color = 0x00336699;
  style.frame_color = 0x00010203;
  style.blend_opacity = 255;
  BatchEntry e =
      NeutralBatchEntry(folder + QStringLiteral("/Photo ä.jpg"), folder + QStringLiteral("/Gold.jpg"), style);
  e.output_name = QStringLiteral("Örebro – 1.jpg");
  e.frame_name = QStringLiteral("Gold ");
  e.size_text = QStringLiteral("6000x4000");
  EditState& s = e.edit;
  s.output_width = 1200;
  s.output_height = 800;
  s.photo_width = 4000;
  s.photo_height = 6000;
  s.crop = {10, 20, 300, 400};
  s.photo_page = 7;
  s.fit_factor = 19.047619f;
  e.shown_photo_height = 240.5f;
  e.custom_page_value = -3;
  e.quarter_turns = 2;
  s.mirror_switch = 0;
  for (const int code : {1, 3, 4, 4, 1}) s.rotate_flip.Append(static_cast<GeometricEdit>(code));
  e.webcam_view = {1.25f, 7.5f};
  s.photo_offset = QPoint(-12, 34);
  s.photo_drag_anchor = QPoint(56, -78);
  e.tone_extra = {0.1f, -0.2f};
  s.contrast = 1.3f;
  s.brightness = -0.4f;
  s.saturation = 0.7f;
  for (int i = 0; i < 25; ++i)
    s.tone_matrix.m[static_cast<std::size_t>(i)] = 0.1f * static_cast<float>(i) - 1.0f / 3;
  s.caption.font_name = QStringLiteral("DejaVu Sans");
  s.caption.size = 48;
  s.caption.style = CaptionStyle::BoldItalic;
  s.caption.face_opacity = 200;
  s.caption.shadow_opacity = 0;
  s.caption.text = QStringLiteral("  Zürich, 東京 \"2024\"\n\tsecond line \\ ");
  s.caption.face_colour = 0x00FF8000;
  s.caption.shadow_colour = 0x00000001;
  e.caption_extra = {3.5f, 4.5f};
  s.caption.position = QPointF(101.25, 202.5);
  s.caption.drag_anchor = QPoint(-9, 8);
  return e;
}

}  // namespace

class BatchJobFileTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void RoundTripKeepsEveryField() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    const QList<BatchEntry> entries{
        Busy(dir.path()),
        NeutralBatchEntry(QStringLiteral("/a/b.png"), QStringLiteral("/c/d.jpg"), FrameStyle{})};
    WriteBatchJob(path, entries);
    const QList<BatchEntry> read = ReadBatchJob(path);
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[0].edit, entries[0].edit);
    QCOMPARE(read[0].style, entries[0].style);
    QVERIFY(read[0] == entries[0]);
    QVERIFY(read[1] == entries[1]);
    // A person can read it: the section, the rotate-flip codes by their numbers, the style keys.
    const QByteArray text = ReadFile(path);
    QVERIFY(text.contains("[Entry1]"));
    QVERIFY(text.contains("RotateFlip=1,3,4,4,1"));
    QVERIFY(text.contains("BackColor=153,102,051"));
    QVERIFY(text.contains("OutputName=Örebro – 1.jpg"));
  }

  void WritingReplacesTheWholeFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    WriteBatchJob(path, {Busy(dir.path()), Busy(dir.path())});
    WriteBatchJob(path, {Busy(dir.path())});
    QCOMPARE(ReadBatchJob(path).size(), 1);
    WriteBatchJob(path, {});
    QCOMPARE(ReadBatchJob(path).size(), 0);
  }

  void LeftOutKeysTakeNeutralValues() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QVERIFY(WriteFile(path, "[Entry1]\nPhoto=/p/x.jpg\nTemplate=/t/Gold.jpg\nBackSize=12\n"));
    const QList<BatchEntry> read = ReadBatchJob(path);
    QCOMPARE(read.size(), 1);
    FrameStyle style;
    style.back_size = 12;
    BatchEntry expected = NeutralBatchEntry(QStringLiteral("/p/x.jpg"), QStringLiteral("/t/Gold.jpg"), style);
    expected.output_name = QStringLiteral("x.jpg");
    expected.frame_name = QStringLiteral("Gold");
    QVERIFY(read[0] == expected);
  }

  // A key given more than once in a section: the first one counts, spelled alike or in other cases.
  void FirstOfARepeatedKeyWins_data() {
    QTest::addColumn<QByteArray>("lines");
    QTest::newRow("same spelling") << QByteArray("OutputName=first.jpg\nOutputName=second.jpg\n");
    QTest::newRow("three times") << QByteArray(
        "OutputName=first.jpg\nOutputName=second.jpg\nOutputName=third.jpg\n");
    QTest::newRow("other cases") << QByteArray("outputname=first.jpg\nOUTPUTNAME=second.jpg\n");
  }
  void FirstOfARepeatedKeyWins() {
    QFETCH(QByteArray, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QVERIFY(WriteFile(path, "[Entry1]\nPhoto=/p/x.jpg\nTemplate=/t/t.jpg\n" + lines));
    const QList<BatchEntry> read = ReadBatchJob(path);
    QCOMPARE(read.size(), 1);
    QCOMPARE(read[0].output_name, QStringLiteral("first.jpg"));
  }

  void BadValuesAreRefused_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("refused");
    QTest::newRow("quarter turns 3") << QByteArray("QuarterTurns=3") << false;
    QTest::newRow("quarter turns 4") << QByteArray("QuarterTurns=4") << true;
    QTest::newRow("quarter turns -1") << QByteArray("QuarterTurns=-1") << true;
    QTest::newRow("rotate code 2") << QByteArray("RotateFlip=1,2") << true;
    QTest::newRow("rotate code 5") << QByteArray("RotateFlip=5") << true;
    QTest::newRow("98 codes") << "RotateFlip=" + QByteArray("1,").repeated(97) + "4" << false;
    QTest::newRow("99 codes") << "RotateFlip=" + QByteArray("1,").repeated(98) + "4" << true;
    QTest::newRow("output size largest") << QByteArray("OutputSize=250000000,1") << false;
    QTest::newRow("output size too many pixels") << QByteArray("OutputSize=20000,20000") << true;
    QTest::newRow("output size int max") << QByteArray("OutputSize=2147483647,1") << true;
    QTest::newRow("output size -1") << QByteArray("OutputSize=-1,0") << true;
    QTest::newRow("output size one number") << QByteArray("OutputSize=5") << true;
    QTest::newRow("output size empty") << QByteArray("OutputSize=") << true;
    QTest::newRow("crop -1") << QByteArray("Crop=-1,0,5,5") << true;
    QTest::newRow("crop too big") << QByteArray("Crop=0,0,2147483648,5") << true;
    QTest::newRow("caption size 0") << QByteArray("CaptionSize=0") << true;
    QTest::newRow("caption size 1000") << QByteArray("CaptionSize=1000") << false;
    QTest::newRow("caption size 1001") << QByteArray("CaptionSize=1001") << true;
    QTest::newRow("caption style 4") << QByteArray("CaptionStyle=4") << true;
    QTest::newRow("opacity 256") << QByteArray("CaptionOpacity=256,0") << true;
    QTest::newRow("tone not a number") << QByteArray("Tone=0,1,x,0,1") << true;
    QTest::newRow("tone infinite") << QByteArray("Tone=0,inf,0,0,1") << true;
    QTest::newRow("tone 100") << QByteArray("Tone=0,100,0,0,1") << false;
    QTest::newRow("tone 101") << QByteArray("Tone=0,101,0,0,1") << true;
    QTest::newRow("matrix 24 numbers") << "ToneMatrix=" + QByteArray("1,").repeated(23) + "1" << true;
    QTest::newRow("fit factor negative") << QByteArray("FitFactor=-1") << true;
    QTest::newRow("style slot int max") << QByteArray("BackSize=2147483647") << false;
    QTest::newRow("style slot past int") << QByteArray("BackSize=2147483648") << true;
    QTest::newRow("style colour bad") << QByteArray("BackColor=red") << true;
    QTest::newRow("output name with slash") << QByteArray("OutputName=../x.jpg") << true;
    QTest::newRow("output name empty") << QByteArray("OutputName=") << true;
    QTest::newRow("open quote") << QByteArray("CaptionText=\"abc") << true;
    QTest::newRow("bad escape") << QByteArray("CaptionText=\"a\\qb\"") << true;
    QTest::newRow("version 2") << QByteArray("[Batch]\nVersion=2") << true;
  }
  void BadValuesAreRefused() {
    QFETCH(QByteArray, line);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    const QByteArray entry = "[Entry1]\nPhoto=/p/x.jpg\nTemplate=/t/t.jpg\n";
    QVERIFY(WriteFile(path, line.startsWith('[') ? line + "\n" + entry : entry + line + "\n"));
    try {
      ReadBatchJob(path);
      QVERIFY(!refused);
    } catch (const LumistoError& e) {
      QVERIFY2(refused, qPrintable(e.Message()));
      QVERIFY2(e.Message().startsWith(path), qPrintable(e.Message()));
    }
  }

  void WholeFileProblems_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("photo left out") << QByteArray("[Entry1]\nTemplate=/t/t.jpg\n");
    QTest::newRow("template left out") << QByteArray("[Entry1]\nPhoto=/p/p.jpg\n");
    QTest::newRow("unknown section") << QByteArray("[Something]\nPhoto=/p/p.jpg\n");
    QTest::newRow("no sections") << QByteArray("Photo=/p/p.jpg\n");
    QTest::newRow("past 64 MB") << QByteArray(kMaxJobFileBytes + 1, '\n');
  }
  void WholeFileProblems() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QVERIFY(WriteFile(path, content));
    QVERIFY_THROWS_EXCEPTION(LumistoError, ReadBatchJob(path));
    QVERIFY_THROWS_EXCEPTION(LumistoError, ReadBatchJob(dir.filePath(QStringLiteral("absent.ini"))));
  }

  void EmptyFileIsAnEmptyJob() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QVERIFY(WriteFile(path, ""));
    QCOMPARE(ReadBatchJob(path).size(), 0);
  }

  void MissingFilesAreNamed() {
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("p.jpg"));
    const QString templ = dir.filePath(QStringLiteral("t.jpg"));
    const BatchEntry entry = NeutralBatchEntry(photo, templ, FrameStyle{});
    QCOMPARE(MissingFiles(entry), QStringLiteral("photo missing, template missing"));
    QVERIFY(WriteFile(photo, "x"));
    QCOMPARE(MissingFiles(entry), QStringLiteral("template missing"));
    QVERIFY(WriteFile(templ, "x"));
    QCOMPARE(MissingFiles(entry), QString());
  }

  void TextEncoding_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("plain") << QStringLiteral("a b") << QStringLiteral("a b");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("leading blank") << QStringLiteral(" a") << QStringLiteral("\" a\"");
    QTest::newRow("quote first") << QStringLiteral("\"a") << QStringLiteral("\"\\\"a\"");
    QTest::newRow("newline") << QStringLiteral("a\nb") << QStringLiteral("\"a\\nb\"");
    QTest::newRow("bell") << QStringLiteral("a\ab") << QStringLiteral("\"a\\u0007b\"");
    QTest::newRow("backslash alone stays") << QStringLiteral("a\\b") << QStringLiteral("a\\b");
  }
  void TextEncoding() {
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(EncodeJobText(text), encoded);
    QCOMPARE(DecodeJobText(encoded), text);
  }
};

QTEST_GUILESS_MAIN(BatchJobFileTest)
#include "batch_job_file_test.moc"
