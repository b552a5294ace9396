#pragma once

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Reads back what a PDF shows through poppler's pdftotext and pdfinfo: the words with their
// boxes in millimetres, the text, the pages and their size.
namespace ph::test {

struct PdfWord {
    QString text;
    QRectF boxMm;
    int page = 0; // from 1
};

inline QString runTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline bool popplerPresent() {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
}

inline constexpr double kPointInMm = 25.4 / 72;

inline QList<PdfWord> pdfWords(const QString& path) {
    const QString html = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (const QString& line : html.split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("<page "))) ++page;
        const QRegularExpressionMatch m = word.match(line);
        if (!m.hasMatch()) continue;
        const double x1 = m.captured(1).toDouble() * kPointInMm, y1 = m.captured(2).toDouble() * kPointInMm;
        const double x2 = m.captured(3).toDouble() * kPointInMm, y2 = m.captured(4).toDouble() * kPointInMm;
        words.append({m.captured(5), QRectF(QPointF(x1, y1), QPointF(x2, y2)), page});
    }
    return words;
}

// The words whose text is `text`.
inline QList<PdfWord> wordsNamed(const QList<PdfWord>& words, const QString& text) {
    QList<PdfWord> found;
    for (const PdfWord& w : words)
        if (w.text == text) found.append(w);
    return found;
}

// The text of the pages, as read: Arabic presentation forms folded to their letters and the
// direction marks dropped, so Persian words compare with the texts the program prints.
inline QString pdfText(const QString& path) {
    QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
                       .normalized(QString::NormalizationForm_KC);
    static const QRegularExpression marks(QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}]"));
    return text.remove(marks);
}

inline int pdfPages(const QString& path) {
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(runTool(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
}

// The first page's size in millimetres.
inline QSizeF pdfPageSizeMm(const QString& path) {
    const QRegularExpression size(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    const QRegularExpressionMatch m = size.match(runTool(QStringLiteral("pdfinfo"), {path}));
    return QSizeF(m.captured(1).toDouble() * kPointInMm, m.captured(2).toDouble() * kPointInMm);
}

} // namespace ph::test
