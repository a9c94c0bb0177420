// The strict integer conversion at the ends of the 32-bit range and on text that is not a number.
#include <QtTest>
#include <limits>
#include <optional>

#include "base/lumisto_error.h"
#include "base/strict_int.h"

namespace {

std::optional<std::int32_t> Convert(const QString& text) {
  try {
    return StrictToInt(text);
  } catch (const LumistoError&) {
    return std::nullopt;
  }
}

}  // namespace

class StrictIntTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Converts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("largest") << "2147483647" << qint64{2147483647} << true;
    QTest::newRow("smallest") << "-2147483648" << qint64{-2147483648LL} << true;
    QTest::newRow("one past the largest") << "2147483648" << qint64{0} << false;
    QTest::newRow("one past the smallest") << "-2147483649" << qint64{0} << false;
    QTest::newRow("far past, no wrap") << "99999999999999999999" << qint64{0} << false;
    QTest::newRow("twice the range wraps to 0 in 32 bits") << "4294967296" << qint64{0} << false;
    QTest::newRow("plus sign") << "+5" << qint64{5} << true;
    QTest::newRow("minus zero") << "-0" << qint64{0} << true;
    QTest::newRow("leading zeros") << "00012" << qint64{12} << true;
    QTest::newRow("empty") << "" << qint64{0} << false;
    QTest::newRow("sign alone") << "-" << qint64{0} << false;
    QTest::newRow("two signs") << "+-3" << qint64{0} << false;
    QTest::newRow("space before") << " 5" << qint64{0} << false;
    QTest::newRow("space after") << "5 " << qint64{0} << false;
    QTest::newRow("hexadecimal") << "0x10" << qint64{0} << false;
    QTest::newRow("exponent") << "1e3" << qint64{0} << false;
    QTest::newRow("decimal point") << "3.0" << qint64{0} << false;
    QTest::newRow("full-width digit") << QString::fromUtf8("\xef\xbc\x91") << qint64{0} << false;
  }
  void Converts() {
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QFETCH(bool, accepted);
    const std::optional<std::int32_t> result = Convert(text);
    QCOMPARE(result.has_value(), accepted);
    if (accepted) QCOMPARE(qint64{*result}, value);
  }

  // The command line's reading: the same rule within each option's own range, both ends and beyond.
  void ParsesWithinARange_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("low");
    QTest::addColumn<qint64>("high");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("quality 1") << "1" << qint64{1} << qint64{100} << true;
    QTest::newRow("quality 100") << "100" << qint64{1} << qint64{100} << true;
    QTest::newRow("quality 0") << "0" << qint64{1} << qint64{100} << false;
    QTest::newRow("quality 101") << "101" << qint64{1} << qint64{100} << false;
    QTest::newRow("group separator") << "1,000" << qint64{0} << qint64{5000} << false;
    QTest::newRow("blank inside") << "1 0" << qint64{0} << qint64{5000} << false;
    QTest::newRow("64-bit largest") << "9223372036854775807" << std::numeric_limits<qint64>::min()
                                    << std::numeric_limits<qint64>::max() << true;
    QTest::newRow("64-bit smallest") << "-9223372036854775808" << std::numeric_limits<qint64>::min()
                                     << std::numeric_limits<qint64>::max() << true;
    QTest::newRow("64-bit one past") << "9223372036854775808" << std::numeric_limits<qint64>::min()
                                     << std::numeric_limits<qint64>::max() << false;
    QTest::newRow("64-bit one below") << "-9223372036854775809" << std::numeric_limits<qint64>::min()
                                      << std::numeric_limits<qint64>::max() << false;
    QTest::newRow("pixels 250 million") << "250000000" << qint64{1} << qint64{250'000'000} << true;
    QTest::newRow("pixels one more") << "250000001" << qint64{1} << qint64{250'000'000} << false;
  }
  void ParsesWithinARange() {
    QFETCH(QString, text);
    QFETCH(qint64, low);
    QFETCH(qint64, high);
    QFETCH(bool, accepted);
    const std::optional<qint64> value = ParseInteger(text, low, high);
    QCOMPARE(value.has_value(), accepted);
    if (accepted) QCOMPARE(QString::number(*value), text);
  }

  void MessageQuotesTheText() {
    try {
      StrictToInt(QStringLiteral("12a"));
      QFAIL("accepted");
    } catch (const LumistoError& e) {
      QCOMPARE(e.Message(), QStringLiteral("'12a' is not a valid integer value"));
    }
  }
};

QTEST_GUILESS_MAIN(StrictIntTest)
#include "strict_int_test.moc"
