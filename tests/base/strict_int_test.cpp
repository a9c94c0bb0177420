// The strict integer conversion at the ends of the 32-bit range and on text that is not a number.
#include <QtTest>
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
