// Batch job files: every field through a round trip, readable text, refused values at the ends
// of their ranges, and rows whose files are gone.
#include <QFile>
#include <QFileInfo>
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
  for (int i = 0; i < FrameStyle::kSlotCount; ++i)
    style.Slot(i) =
        FrameStyleSlots()[static_cast<std::size_t>(i)].kind == SlotKind::Switch ? i % 2 : 3 * i + 1;
  style.back_color = 0x00336699;
  style.frame_color = 0x00010203;
  style.blend_opacity = 255;
  style.scale = 1;
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
    // A job without entries cannot be read back: it is not written, and the old file stays.
    QVERIFY_THROWS_EXCEPTION(LumistoError, WriteBatchJob(path, {}));
    QCOMPARE(ReadBatchJob(path).size(), 1);
  }

  // The writer refuses what the reader refuses, with the reader's own limits.
  void WriterKeepsTheReadersLimits() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    const BatchEntry plain =
        NeutralBatchEntry(QStringLiteral("/p/a.jpg"), QStringLiteral("/t/t.jpg"), FrameStyle{});
    QVERIFY_THROWS_EXCEPTION(LumistoError, WriteBatchJob(path, QList<BatchEntry>(kMaxJobEntries + 1, plain)));
    QVERIFY(!QFileInfo::exists(path));
    BatchEntry bad = plain;
    bad.output_name = QStringLiteral("a/b.jpg");
    QVERIFY_THROWS_EXCEPTION(LumistoError, WriteBatchJob(path, {plain, bad}));
    QVERIFY(!QFileInfo::exists(path));
  }

  // The most entries a job holds, each with paths of 255 bytes and edits made, fit the size a job
  // file may have.
  void AFullJobIsReadable() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    const QString folder = QStringLiteral("/") + QString(200, u'd') + u'/';
    BatchEntry e = NeutralBatchEntry(folder + QString(49, u'p') + QStringLiteral(".jpg"),
                                     folder + QString(49, u't') + QStringLiteral(".jpg"), FrameStyle{});
    QCOMPARE(e.edit.photo_path.toUtf8().size(), 255);
    e.output_name = QString(251, u'o') + QStringLiteral(".jpg");
    e.frame_name = QString(40, u'f');
    e.edit.caption.text = QStringLiteral("Summer at the lake, 2024");
    for (int i = 0; i < 4; ++i) e.edit.rotate_flip.Append(GeometricEdit::TurnClockwise);
    for (float& m : e.edit.tone_matrix.m) m = -1.0f / 3;
    e.edit.crop = {123456, 234567, 345678, 456789};
    // A share of the job, read back whole; the full job is that share many times over (its size
    // is checked here, its reading time by batch_bench's ReadAFullJob).
    constexpr int kShare = 1000;
    WriteBatchJob(path, QList<BatchEntry>(kShare, e));
    const QList<BatchEntry> read = ReadBatchJob(path);
    QCOMPARE(read.size(), kShare);
    QVERIFY(read.last() == e);
    const qint64 full = QFileInfo(path).size() * (kMaxJobEntries / kShare);
    QVERIFY2(full <= kMaxJobFileBytes, qPrintable(QString::number(full)));
  }

  void LeftOutKeysTakeNeutralValues() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QVERIFY(
        WriteFile(path, "[Batch]\nEntries=1\n[Entry1]\nPhoto=/p/x.jpg\nTemplate=/t/Gold.jpg\nBackSize=12\n"));
    const QList<BatchEntry> read = ReadBatchJob(path);
    QCOMPARE(read.size(), 1);
    // No template file to take the rest of the style from: nothing else is drawn, and the sizes
    // are those of the preview, as in every shipped template.
    FrameStyle style;
    style.back_size = 12;
    style.scale = 1;
    BatchEntry expected = NeutralBatchEntry(QStringLiteral("/p/x.jpg"), QStringLiteral("/t/Gold.jpg"), style);
    expected.output_name = QStringLiteral("x.jpg");
    expected.frame_name = QStringLiteral("Gold");
    QVERIFY(read[0] == expected);
  }

  // Files that are not what they claim, each refused with one line naming what does not agree.
  void WholeFileProblems_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("named");  // a piece of the message
    const QByteArray entry1 = "[Entry1]\nPhoto=/p/p.jpg\nTemplate=/t/t.jpg\nBackSize=1\n";
    QTest::newRow("photo left out") << QByteArray("[Batch]\nEntries=1\n[Entry1]\nTemplate=/t/t.jpg\n")
                                    << QStringLiteral("Photo");
    QTest::newRow("template left out")
        << QByteArray("[Batch]\nEntries=1\n[Entry1]\nPhoto=/p/p.jpg\n") << QStringLiteral("Template");
    QTest::newRow("unknown section") << "[Batch]\nEntries=2\n" + entry1 + "[Something]\nPhoto=/p/p.jpg\n"
                                     << QStringLiteral("[Entry2] is missing");
    QTest::newRow("no sections") << QByteArray("Photo=/p/p.jpg\n") << QStringLiteral("[Batch]");
    QTest::newRow("no [Batch]") << entry1 << QStringLiteral("[Batch] is missing");
    QTest::newRow("no count") << "[Batch]\nVersion=2\n" + entry1 << QStringLiteral("Entries");
    QTest::newRow("two announced, one there")
        << "[Batch]\nEntries=2\n" + entry1 << QStringLiteral("[Entry2] is missing");
    QTest::newRow("one announced, two there")
        << "[Batch]\nEntries=1\n" + entry1 + "[Entry2]\nPhoto=/p/q.jpg\nTemplate=/t/t.jpg\n"
        << QStringLiteral("more than the 1 entries");
    QTest::newRow("entry skipped") << "[Batch]\nEntries=2\n" + entry1 + "[Entry3]\nPhoto=/p/q.jpg\n"
                                   << QStringLiteral("[Entry2] is missing");
    QTest::newRow("cut inside a value")
        << "[Batch]\nEntries=1\n" + entry1 + "CaptionText=Summ" << QStringLiteral("cut off");
    QTest::newRow("no entries") << QByteArray("[Batch]\nVersion=2\nEntries=0\n")
                                << QStringLiteral("no entries");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("[Batch]");
    QTest::newRow("count past the limit")
        << QByteArray("[Batch]\nEntries=100001\n") << QStringLiteral("Entries");
    QTest::newRow("no style and no template file")
        << QByteArray("[Batch]\nEntries=1\n[Entry1]\nPhoto=/p/p.jpg\nTemplate=/t/gone.jpg\n")
        << QStringLiteral("no frame style");
  }
  void WholeFileProblems() {
    QFETCH(QByteArray, content);
    QFETCH(QString, named);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QVERIFY(WriteFile(path, content));
    try {
      ReadBatchJob(path);
      QFAIL("the file was read");
    } catch (const LumistoError& e) {
      QVERIFY2(e.Message().startsWith(path) && e.Message().contains(named), qPrintable(e.Message()));
      QVERIFY(!e.Message().contains(u'\n'));
    }
    QVERIFY_THROWS_EXCEPTION(LumistoError, ReadBatchJob(dir.filePath(QStringLiteral("absent.ini"))));
  }

  void OversizedFileIsRefusedUnread() {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("job.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(kMaxJobFileBytes + 1));  // sparse: no memory, no disk
    file.close();
    QVERIFY_THROWS_EXCEPTION(LumistoError, ReadBatchJob(file.fileName()));
  }

  // Line ends of any platform read alike.
  void LineEnds_data() {
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("CR") << QByteArray("\r");
  }
  void LineEnds() {
    QFETCH(QByteArray, end);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QByteArray text =
        "[Batch]\nVersion=2\nEntries=2\n[Entry1]\nPhoto=/p/a.jpg\nTemplate=/t/t.jpg\nBackSize=4\n"
        "[Entry2]\nPhoto=/p/b.jpg\nTemplate=/t/t.jpg\nBackSize=5\nCaptionText=x\n";
    QVERIFY(WriteFile(path, text.replace("\n", end)));
    const QList<BatchEntry> read = ReadBatchJob(path);
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[1].style.back_size, 5);
    QCOMPARE(read[1].edit.caption.text, QStringLiteral("x"));
  }

  // Keys the entry leaves out come from its template's settings file: all of them for a short
  // hand-made entry, Scale for an entry written before Scale was stored.
  void StyleFromTheTemplateFile_data() {
    QTest::addColumn<QByteArray>("keys");     // style keys of the entry
    QTest::addColumn<int>("template_scale");  // Scale of the settings file; -1: no settings file
    QTest::addColumn<int>("back_size");
    QTest::addColumn<int>("frame_size");
    QTest::addColumn<int>("scale");
    QByteArray all32;  // the 32 slots, as an entry of version 1 holds them
    for (const FrameStyleSlot& slot : FrameStyleSlots())
      all32 += QByteArray(slot.key) + '=' + (slot.kind == SlotKind::Colour ? "001,002,003" : "2") + '\n';
    QTest::newRow("no style keys: the template's whole style") << QByteArray() << 1 << 9 << 7 << 1;
    QTest::newRow("no style keys, template in photo pixels") << QByteArray() << 0 << 9 << 7 << 0;
    QTest::newRow("32 keys without Scale: the template's Scale") << all32 << 1 << 2 << 2 << 1;
    QTest::newRow("32 keys without Scale, template Scale 0") << all32 << 0 << 2 << 2 << 0;
    QTest::newRow("32 keys without Scale, no template file: 1") << all32 << -1 << 2 << 2 << 1;
    QTest::newRow("every key: the entry's own") << all32 + "Scale=0\n" << 1 << 2 << 2 << 0;
    QTest::newRow("some keys: the rest from the template") << QByteArray("BackSize=3\n") << 0 << 3 << 7 << 0;
  }
  void StyleFromTheTemplateFile() {
    QFETCH(QByteArray, keys);
    QFETCH(int, template_scale);
    QFETCH(int, back_size);
    QFETCH(int, frame_size);
    QFETCH(int, scale);
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("Gold.jpg"));
    if (template_scale >= 0) {
      FrameStyle style;
      style.back_size = 9;
      style.frame_size = 7;
      style.scale = template_scale;
      WriteFrameStyle(dir.filePath(QStringLiteral("Gold.ini")), style);
    }
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    QVERIFY(WriteFile(path, "[Batch]\nVersion=1\nEntries=1\n[Entry1]\nPhoto=/p/a.jpg\nTemplate=" +
                                templ.toUtf8() + "\n" + keys));
    const QList<BatchEntry> read = ReadBatchJob(path);
    QCOMPARE(read[0].style.back_size, back_size);
    QCOMPARE(read[0].style.frame_size, frame_size);
    QCOMPARE(read[0].style.scale, scale);
  }

  // Scale travels with the entry, so a written job frames as the window framed.
  void ScaleRoundTrips_data() {
    QTest::addColumn<int>("scale");
    QTest::newRow("on") << 1;
    QTest::newRow("off") << 0;
  }
  void ScaleRoundTrips() {
    QFETCH(int, scale);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    FrameStyle style;
    style.scale = scale;
    // The template file says the opposite: the entry's own value wins.
    FrameStyle opposite;
    opposite.scale = 1 - scale;
    WriteFrameStyle(dir.filePath(QStringLiteral("t.ini")), opposite);
    WriteBatchJob(
        path, {NeutralBatchEntry(QStringLiteral("/p/a.jpg"), dir.filePath(QStringLiteral("t.jpg")), style)});
    QCOMPARE(ReadBatchJob(path)[0].style.scale, scale);
    QVERIFY(ReadFile(path).contains(QStringLiteral("\nScale=%1").arg(scale).toUtf8()));
  }

  // Escapes that name no character are refused: a name with them would land on another's file.
  void BadEscapesAreRefused_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("decoded");  // empty: refused
    QTest::newRow("lone high surrogate") << QStringLiteral("\"\\ud800.jpg\"") << QString();
    QTest::newRow("lone low surrogate") << QStringLiteral("\"\\udc00.jpg\"") << QString();
    QTest::newRow("high then a letter") << QStringLiteral("\"\\ud800\\u0041\"") << QString();
    QTest::newRow("low then high") << QStringLiteral("\"\\udc00\\ud800\"") << QString();
    QTest::newRow("sign in the digits") << QStringLiteral("\"\\u+041\"") << QString();
    QTest::newRow("three digits") << QStringLiteral("\"\\u041\"") << QString();
    QTest::newRow("a pair") << QStringLiteral("\"\\ud83d\\ude00.jpg\"") << QStringLiteral("\U0001F600.jpg");
    QTest::newRow("replacement character")
        << QStringLiteral("\"\\ufffd.jpg\"") << QStringLiteral("\uFFFD.jpg");
  }
  void BadEscapesAreRefused() {
    QFETCH(QString, value);
    QFETCH(QString, decoded);
    if (decoded.isEmpty()) {
      QVERIFY_THROWS_EXCEPTION(LumistoError, DecodeJobText(value));
    } else {
      QCOMPARE(DecodeJobText(value), decoded);
    }
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
    QTest::newRow("version 1") << QByteArray("Version=1") << false;
    QTest::newRow("version 2") << QByteArray("Version=2") << false;
    QTest::newRow("version 3") << QByteArray("Version=3") << true;
    QTest::newRow("version 0") << QByteArray("Version=0") << true;
    QTest::newRow("crop at its largest") << QByteArray("Crop=1000000,0,1,1") << false;
  }
  void BadValuesAreRefused() {
    QFETCH(QByteArray, line);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.ini"));
    const QByteArray entry = "[Entry1]\nPhoto=/p/x.jpg\nTemplate=/t/t.jpg\nLineDraw=0\n";
    const bool batch_key = line.startsWith("Version");
    QVERIFY(
        WriteFile(path, "[Batch]\nEntries=1\n" + (batch_key ? line + "\n" + entry : entry + line + "\n")));
    try {
      ReadBatchJob(path);
      QVERIFY(!refused);
    } catch (const LumistoError& e) {
      QVERIFY2(refused, qPrintable(e.Message()));
      QVERIFY2(e.Message().startsWith(path), qPrintable(e.Message()));
    }
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
