// Where a one-page PDF written by Qt draws its picture: the page's content stream is inflated and
// its q, Q and cm operators followed up to the image's Do.
#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QRegularExpression>
#include <QTransform>
#include <optional>

namespace testing_support {

// The stream's bytes inflated (a raw zlib stream), or the bytes themselves when they do not inflate.
inline QByteArray InflatedPdfStream(const QByteArray& stream) {
  // qUncompress wants the size first; it grows its buffer when the guess is short.
  QByteArray sized(4, '\0');
  sized[3] = 1;
  const QByteArray inflated = qUncompress(sized + stream);
  return inflated.isEmpty() ? stream : inflated;
}

// The box of the first image drawn on the page, in points from the page's top-left corner (y
// down); nullopt when the file draws none.
inline std::optional<QRectF> PdfImageBox(const QByteArray& pdf) {
  const QRegularExpressionMatch media =
      QRegularExpression(
          QStringLiteral("/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)"))
          .match(QString::fromLatin1(pdf));
  if (!media.hasMatch()) return std::nullopt;
  const double page_height = media.captured(4).toDouble();
  qsizetype at = 0;
  while ((at = pdf.indexOf("stream", at)) >= 0) {
    qsizetype begin = at + 6;
    if (begin < pdf.size() && pdf[begin] == '\r') ++begin;
    if (begin < pdf.size() && pdf[begin] == '\n') ++begin;
    const qsizetype end = pdf.indexOf("endstream", begin);
    if (end < 0) break;
    at = end + 9;
    const QByteArray content = InflatedPdfStream(pdf.mid(begin, end - begin));
    if (!content.contains(" Do")) continue;
    // Follow the graphics state: q saves the matrix, Q restores it, cm multiplies into it.
    QList<QTransform> saved;
    QTransform ctm;
    QList<double> operands;
    for (const QByteArray& token : content.simplified().split(' ')) {
      bool number = false;
      const double value = token.toDouble(&number);
      if (number) {
        operands.append(value);
        continue;
      }
      if (token == "q") {
        saved.append(ctm);
      } else if (token == "Q") {
        if (!saved.isEmpty()) ctm = saved.takeLast();
      } else if (token == "cm" && operands.size() >= 6) {
        const qsizetype n = operands.size();
        const QTransform m(operands[n - 6], operands[n - 5], operands[n - 4], operands[n - 3],
                           operands[n - 2], operands[n - 1]);
        ctm = m * ctm;
      } else if (token == "Do") {
        const QRectF unit = ctm.mapRect(QRectF(0, 0, 1, 1));
        return QRectF(unit.left(), page_height - unit.bottom(), unit.width(), unit.height());
      }
      if (!token.startsWith('/')) operands.clear();
    }
  }
  return std::nullopt;
}

}  // namespace testing_support
