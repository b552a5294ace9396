#include "claims/claim_merge.h"

#include "claims/claim_file.h"
#include "claims/claim_file_check.h"
#include "claims/claims_texts.h"
#include "core/atomic_file.h"
#include "core/cp1256_text.h"
#include "db/database.h"
#include "db/transaction.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <vector>

namespace ph {
namespace {

QByteArray readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(claims::texts::kFileNotRead.arg(QFileInfo(path).fileName(), file.errorString()));
    return file.readAll();
}

void appendLine(QByteArray& out, const QByteArray& line) {
    out += line;
    out += "\r\n";
}

// A line with its leading tag given a new number: "<TAG>" + number + the rest from "</TAG>".
QByteArray renumbered(const QByteArray& line, const QByteArray& tag, qint64 number) {
    const QByteArray close = "</" + tag + '>';
    const int end = line.indexOf(close);
    return '<' + tag + '>' + QByteArray::number(number) + (end < 0 ? QByteArray() : line.mid(end));
}

// The value of an element of a line: "<TAG>value</TAG>".
QByteArray elementValue(const QByteArray& line, const QByteArray& tag) {
    const QByteArray open = '<' + tag + '>';
    const int start = line.indexOf(open);
    if (start < 0) return {};
    const int from = start + open.size();
    const int end = line.indexOf("</" + tag + '>', from);
    return end < 0 ? line.mid(from) : line.mid(from, end - from);
}

// yymmdd written as yy/mm/dd.
QString dashedDate(const QByteArray& digits) {
    const QString d = QString::fromLatin1(digits);
    return d.mid(0, 2) + u'/' + d.mid(2, 2) + u'/' + d.mid(4, 2);
}

std::optional<qint64> wholeRials(const QByteArray& value) {
    bool ok = false;
    const qint64 number = value.trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return number;
}

} // namespace

QList<QByteArray> claimFileLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast(); // the end of the last line
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
}

void ClaimMerge::create() {
    saveFileBytes(m_mainPath, {});
    m_number = 0;
    m_headerCopied = false;
}

void ClaimMerge::startAdding() {
    m_number = 0;
    m_headerCopied = false;
}

void ClaimMerge::add(const QString& path) {
    checkClaimFile(path);
    const QList<QByteArray> lines = claimFileLines(readWhole(path));
    QByteArray out = readWhole(m_mainPath);
    int number = m_number;
    bool headerCopied = m_headerCopied;
    bool skippingHeader = false;
    for (const QByteArray& line : lines) {
        const bool sequence = line.startsWith("<SQ>");
        if (!headerCopied) {
            // The first file gives the heading: every line up to its first prescription.
            if (!sequence) {
                appendLine(out, line);
                continue;
            }
            headerCopied = true;
        } else if (skippingHeader) {
            if (!sequence) continue;
            skippingHeader = false;
        } else if (line.startsWith("<HR>")) {
            // A later file's heading, up to its first prescription, stands as one <PH> line.
            skippingHeader = true;
            appendLine(out, "<PH>");
            continue;
        }
        if (sequence)
            appendLine(out, renumbered(line, "SQ", ++number));
        else
            appendLine(out, line);
    }
    saveFileBytes(m_mainPath, out);
    m_number = number;
    m_headerCopied = headerCopied;
}

MergedFile ClaimMerge::finish(bool names, bool prescriberNames) {
    const QList<QByteArray> lines = claimFileLines(readWhole(m_mainPath));
    MergedFile merged;
    QList<QByteArray> header;
    int i = 0;
    for (; i < lines.size() && !lines.at(i).startsWith("<PH>"); ++i) {
        const QByteArray& line = lines.at(i);
        header.append(line);
        if (line.startsWith("<FD>")) merged.from = dashedDate(elementValue(line, "FD"));
        if (line.startsWith("<TD>")) merged.to = dashedDate(elementValue(line, "TD"));
    }
    // The blocks: from each <PH> line to the next.
    QList<MergedPrescription>& rows = merged.prescriptions;
    for (; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        if (line.startsWith("<PH>")) {
            rows.append(MergedPrescription{});
            continue;
        }
        MergedPrescription& row = rows.last();
        if (line.startsWith("<SQ>")) {
            row.number = int(wholeRials(elementValue(line, "SQ")).value_or(0));
            row.date = dashedDate(elementValue(line, "ND"));
            row.insuranceNumber = decodeCp1256(elementValue(line, "SN"));
            row.prescriberCouncil = decodeCp1256(elementValue(line, "PC"));
            const std::optional<qint64> patient = wholeRials(elementValue(line, "PS"));
            const std::optional<qint64> insurer = wholeRials(elementValue(line, "IS"));
            if (!patient || !insurer) throw Error(claims::texts::kNotWholeShares.arg(row.number));
            row.patientShare = *patient;
            row.insurerShare = *insurer;
            row.total = *patient + *insurer;
            if (names) {
                row.patientName = decodeCp1256(elementValue(line, "NE"));
                row.patientFamily = decodeCp1256(elementValue(line, "FY"));
            }
            if (prescriberNames) {
                row.prescriberName = decodeCp1256(elementValue(line, "PN"));
                row.prescriberFamily = decodeCp1256(elementValue(line, "PF"));
            }
        }
        appendLine(row.block, line);
    }
    if (rows.isEmpty()) throw Error(claims::texts::kNoMergedPrescription);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const MergedPrescription& a, const MergedPrescription& b) { return a.date < b.date; });

    QByteArray out;
    for (const QByteArray& line : header)
        appendLine(out, line.startsWith("<RC>") ? renumbered(line, "RC", rows.size()) : line);
    int number = 0;
    for (MergedPrescription& row : rows) {
        row.number = ++number;
        appendLine(out, "<PH>");
        const int firstEnd = row.block.indexOf("\r\n");
        const QByteArray first = row.block.left(firstEnd);
        if (first.startsWith("<SQ>")) row.block = renumbered(first, "SQ", number) + row.block.mid(firstEnd);
        out += row.block;
    }
    saveFileBytes(m_mainPath, out);
    m_number = number;
    return merged;
}

JoinedClaimFile mergeClaimFiles(const QStringList& files, const QString& target) {
    QList<ClaimFileOutline> outlines;
    for (const QString& file : files) outlines.append(checkClaimFile(file));
    if (outlines.isEmpty()) throw Error(claims::texts::kNoMergedPrescription);

    struct Place {
        QByteArray date;
        int file = 0;
        qsizetype block = 0;
    };
    QList<Place> order;
    for (int f = 0; f < outlines.size(); ++f)
        for (qsizetype b = 0; b < outlines.at(f).blocks.size(); ++b) order.append({outlines.at(f).blocks.at(b).date, f, b});
    if (order.isEmpty()) throw Error(claims::texts::kNoMergedPrescription);
    std::stable_sort(order.begin(), order.end(), [](const Place& a, const Place& b) { return a.date < b.date; });

    // The combined list sums the shares: they must be whole Rials.
    for (qsizetype n = 0; n < order.size(); ++n)
        if (!outlines.at(order.at(n).file).blocks.at(order.at(n).block).wholeShares)
            throw Error(claims::texts::kNotWholeShares.arg(n + 1));

    const ClaimFileOutline& first = outlines.first();
    AtomicFile joined(target);
    joined.open();
    QIODevice& out = joined.device();
    if (first.wrapped) out.write("<Y>\r\n");
    out.write("<HR>\r\n<DC>" + first.dc + "</DC>\r\n<RC>" + QByteArray::number(order.size()) + "</RC>\r\n<FD>" +
              first.fd + "</FD>\r\n<TD>" + first.td + "</TD>\r\n</HR>\r\n\r\n");
    std::vector<std::unique_ptr<QFile>> inputs;
    for (const QString& file : files) {
        inputs.push_back(std::make_unique<QFile>(file));
        if (!inputs.back()->open(QIODevice::ReadOnly))
            throw Error(claims::texts::kFileNotRead.arg(QFileInfo(file).fileName(), inputs.back()->errorString()));
    }
    int number = 0;
    for (const Place& place : std::as_const(order)) {
        const ClaimFileOutline::Block& block = outlines.at(place.file).blocks.at(place.block);
        QFile& input = *inputs.at(place.file);
        QByteArray bytes;
        if (input.seek(block.offset)) bytes = input.read(block.size);
        if (bytes.size() != block.size)
            throw Error(claims::texts::kFileNotRead.arg(QFileInfo(files.at(place.file)).fileName(), input.errorString()));
        const qsizetype lineEnd = bytes.indexOf("\r\n");
        if (first.wrapped) out.write("<X>\r\n");
        out.write("<PH>\r\n");
        out.write(renumbered(bytes.left(lineEnd), "SQ", ++number));
        out.write(bytes.mid(lineEnd));
        if (first.wrapped) out.write("</X>\r\n");
    }
    if (first.wrapped) out.write("</Y>\r\n");
    joined.commit();
    return {number, dashedDate(first.fd), dashedDate(first.td)};
}

void MergedListStore::replace(const QList<MergedPrescription>& rows) {
    Transaction transaction(m_db);
    m_db.exec(QStringLiteral("delete from list_koli"));
    const QString insert = QStringLiteral(
        "insert into list_koli (count, sh_bimeh, date_no, nezam_p, kol, price_bimar, price_bimeh, name_b, family_b, "
        "name_p, family_p, list) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const MergedPrescription& r : rows)
        m_db.exec(insert, {r.number, r.insuranceNumber, r.date, r.prescriberCouncil, r.total, r.patientShare,
                           r.insurerShare, r.patientName, r.patientFamily, r.prescriberName, r.prescriberFamily,
                           decodeCp1256(r.block)});
    transaction.commit();
}

} // namespace ph
